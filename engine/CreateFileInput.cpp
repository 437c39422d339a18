#include "engine/CreateFileInput.h"

#include <strings.h>

#include "engine/ConversionSettings.h"
#include "sources/CLReadDecodeWave.h"
#include "sources/FileNames.h"

std::unique_ptr<CLReadDecodeBase> CreateFileInput(const char* inputPath, ConversionError& code) {
    Settings().WriteError = false;
    Settings().ProtectedInput = false;
    const std::string ext = GetFileExtension(inputPath);
    auto is = [&ext](const char* known) { return strcasecmp(ext.c_str(), known) == 0; };
    // Each source is created here once it exists: ".WAV", then ".WMA"/".WAX", then ".MP3".
    if (is(".WAV"))
        return std::make_unique<CLReadDecodeWave>(inputPath, code);
    return nullptr;
}
