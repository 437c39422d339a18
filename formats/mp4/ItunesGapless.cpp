#include "formats/mp4/ItunesGapless.h"

#include <cinttypes>
#include <cstdio>

#include <taglib/mp4file.h>

#include "tags/CheckedFileStream.h"
#include "tags/FileRearrangement.h"
#include "tags/TagEditStream.h"

std::string ItunesGaplessText(uint32_t priming, uint32_t padding, uint64_t length) {
    char text[128];
    std::snprintf(text, sizeof text, " 00000000 %08" PRIX32 " %08" PRIX32 " %016" PRIX64, priming,
                  padding, length);
    std::string fields = text;
    for (int i = 0; i < 8; ++i)
        fields += " 00000000";
    return fields;
}

bool WriteItunesGapless(int fd, uint32_t priming, uint32_t padding, uint64_t length) {
    CheckedFileStream file(fd, "output");
    TagEditStream edited(file);
    TagLib::MP4::File mp4(&edited, false);
    if (!mp4.isValid())
        return false;
    const TagLib::String text(ItunesGaplessText(priming, padding, length));
    mp4.tag()->setItem("----:com.apple.iTunes:iTunSMPB",
                       TagLib::MP4::Item(TagLib::StringList(text)));
    return mp4.save() && !edited.Failed() && FileRearrangement(file, edited.Pieces()).Apply();
}
