#include "formats/flac/FlacTags.h"

#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>

#include "tags/XiphTags.h"

using namespace TagLib;

namespace {
bool Claims(const ByteVector& head) {
    return head.startsWith("fLaC");
}

AudioTags Read(IOStream& stream) {
    FLAC::File file(&stream, ID3v2::FrameFactory::instance(), false);
    AudioTags tags;
    if (!file.isValid()) {
        return tags;
    }
    if (file.hasXiphComment()) {
        ReadXiphComment(*file.xiphComment(), tags);
    }
    CarryPictures(tags.pictures, file.pictureList()); // the picture blocks of the file itself
    return tags;
}

bool Write(IOStream& stream, const AudioTags& tags) {
    FLAC::File file(&stream, ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        return false;
    }
    SetCarriedFields(*file.xiphComment(true), WithFreeFields(tags.fields, tags.freeFields));
    for (const AudioTags::Picture& picture : tags.pictures) {
        file.addPicture(FlacPictureOf(picture));
    }
    return file.save();
}
} // namespace

const TagFormat FlacTags = {Claims, Read, Write};
