// Every format the program knows, each in its own folder, in the order the front ends offer them.
// The layers below reach them only through catalog/FormatTable.h.
#include <array>

#include "catalog/FormatTable.h"
#include "formats/flac/FlacFormat.h"
#include "formats/mp3/Mp3Format.h"
#include "formats/mp4/Mp4Formats.h"
#include "formats/opus/OpusFormat.h"
#include "formats/vorbis/VorbisFormat.h"
#include "formats/wave/WaveFormat.h"
#include "formats/wma/WmaFormat.h"

std::span<const FormatInfo> Formats() {
    static const std::array<FormatInfo, 8> formats = {
        WaveFormat, Mp3Format, WmaFormat, FlacFormat, OpusFormat, VorbisFormat, AacFormat, AlacFormat,
    };
    return formats;
}
