#include "engine/OpenAudioSource.h"

#include "catalog/FormatTable.h"
#include "system/FileNames.h"

std::unique_ptr<AudioSource> OpenAudioSource(const char* inputPath, const RowContext& row,
                                             ConversionError& code) {
    const FormatInfo* format = FindReadFormat(GetFileExtension(inputPath));
    return format && format->MakeSource ? format->MakeSource(inputPath, row, code) : nullptr;
}
