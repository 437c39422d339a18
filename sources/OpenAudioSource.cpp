#include "sources/OpenAudioSource.h"

#include "formats/FormatTable.h"
#include "sources/SourceFactories.h"
#include "system/FileNames.h"

std::unique_ptr<AudioSource> OpenAudioSource(const char* inputPath, const RowContext& row,
                                             ConversionError& code) {
    const FormatInfo* format = FindReadFormat(GetFileExtension(inputPath));
    const SourceFactory make = format ? FindSourceFactory(format->Key) : nullptr;
    return make ? make(inputPath, row, code) : nullptr;
}
