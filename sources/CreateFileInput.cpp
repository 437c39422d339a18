#include "sources/CreateFileInput.h"

#include <strings.h>

#include "engine/ConversionSettings.h"
#include "sources/CLReadDecodeMP3.h"
#include "sources/CLReadDecodeWMA.h"
#include "sources/CLReadDecodeWave.h"
#include "system/FileNames.h"

std::unique_ptr<CLReadDecodeBase> CreateFileInput(const char* inputPath, ConversionError& code) {
    Settings().WriteError = false;
    Settings().ProtectedInput = false;
    Settings().InputError = ConversionError::ceNone;
    const std::string ext = GetFileExtension(inputPath);
    auto is = [&ext](const char* known) { return strcasecmp(ext.c_str(), known) == 0; };
    // Each source is created here once it exists: ".WAV", then ".WMA"/".WAX", then ".MP3".
    if (is(".WAV"))
        return std::make_unique<CLReadDecodeWave>(inputPath, code);
    if (is(".WMA") || is(".WAX"))
        return std::make_unique<CLReadDecodeWMA>(inputPath, code);
    if (is(".MP3"))
        return std::make_unique<CLReadDecodeMP3>(inputPath, code);
    return nullptr;
}
