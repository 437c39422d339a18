#include "tags/TagPictures.h"

using namespace TagLib;

void CarryPicture(std::vector<AudioTags::Picture>& pictures, AudioTags::Picture picture) {
    unsigned int total = 0;
    for (const AudioTags::Picture& carried : pictures) {
        total += carried.data.size();
    }
    const unsigned int size = picture.data.size();
    if (size == 0 || size > MaxPictureBytes || pictures.size() == MaxPictures ||
        size > MaxPictureTotalBytes - total || picture.mimeType.size() > MaxTextLength ||
        picture.description.size() > MaxTextLength) {
        return;
    }
    if (picture.type > AudioTags::LastPictureType) {
        picture.type = AudioTags::OtherPicture; // a type no format defines
    }
    pictures.push_back(std::move(picture));
}

void CarryPictures(std::vector<AudioTags::Picture>& pictures, const List<FLAC::Picture*>& list) {
    for (const FLAC::Picture* picture : list) {
        CarryPicture(pictures, PictureOf(*picture));
    }
}

AudioTags::Picture PictureOf(const ID3v2::AttachedPictureFrame& frame) {
    return {static_cast<uint8_t>(frame.type()), frame.mimeType(), frame.description(),
            frame.picture()};
}

AudioTags::Picture PictureOf(const FLAC::Picture& picture) {
    return {static_cast<uint8_t>(picture.type()), picture.mimeType(), picture.description(),
            picture.data()};
}

std::unique_ptr<ID3v2::AttachedPictureFrame> ApicFrameOf(const AudioTags::Picture& picture) {
    auto frame = std::make_unique<ID3v2::AttachedPictureFrame>();
    frame->setType(static_cast<ID3v2::AttachedPictureFrame::Type>(picture.type));
    frame->setMimeType(picture.mimeType);
    frame->setDescription(picture.description);
    frame->setPicture(picture.data);
    return frame;
}

FLAC::Picture* FlacPictureOf(const AudioTags::Picture& picture) {
    auto flac = std::make_unique<FLAC::Picture>();
    flac->setType(static_cast<FLAC::Picture::Type>(picture.type));
    flac->setMimeType(picture.mimeType);
    flac->setDescription(picture.description);
    flac->setData(picture.data);
    return flac.release();
}
