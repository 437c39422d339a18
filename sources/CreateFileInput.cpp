#include "sources/CreateFileInput.h"

#include <strings.h>

#include "sources/CLReadDecodeMP3.h"
#include "sources/CLReadDecodeMp4.h"
#include "sources/CLReadDecodeWMA.h"
#include "sources/CLReadDecodeWave.h"
#include "system/FileNames.h"

std::unique_ptr<CLReadDecodeBase> CreateFileInput(const char* inputPath, const RowContext& row,
                                                  ConversionError& code) {
    const std::string ext = GetFileExtension(inputPath);
    auto is = [&ext](const char* known) { return strcasecmp(ext.c_str(), known) == 0; };
    // Each source is created here once it exists: ".WAV", then ".WMA"/".WAX", then ".MP3".
    if (is(".WAV"))
        return std::make_unique<CLReadDecodeWave>(inputPath, row, code);
    if (is(".WMA") || is(".WAX"))
        return std::make_unique<CLReadDecodeWMA>(inputPath, row, code);
    if (is(".MP3"))
        return std::make_unique<CLReadDecodeMP3>(inputPath, row, code);
    // AAC or ALAC, told apart by the content.
    if (is(".M4A"))
        return std::make_unique<CLReadDecodeMp4>(inputPath, row, code);
    return nullptr;
}
