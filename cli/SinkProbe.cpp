#include "cli/SinkProbe.h"

#include <cstdlib>
#include <filesystem>

#include "engine/CLFILEOUT.h"
#include "engine/ConversionSettings.h"
#include "engine/MakeOutputPath.h"
#include "system/STempFile.h"

bool CanWriteTarget(uint8_t target) {
    std::string folder = STempFile::TempFolder() + "brindlex-probe-XXXXXX";
    if (!mkdtemp(folder.data())) {
        return false;
    }
    ConversionSettings& settings = Settings();
    const uint8_t savedTarget = settings.TargetFormat;
    const std::string savedPath = settings.OutputPath;
    settings.TargetFormat = target;
    settings.OutputPath = folder + "/probe" + OutputExtension(target);
    bool ok = false;
    {
        const WAVEFORMATEX pcm = MakePcmFormat(2, 44100, 16);
        CLFILEOUT holder(&pcm, ok);
    }
    settings.TargetFormat = savedTarget;
    settings.OutputPath = savedPath;
    settings.WriteError = false;
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return ok;
}
