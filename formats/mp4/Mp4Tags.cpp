#include "formats/mp4/Mp4Tags.h"

#include <taglib/mp4file.h>

#include "tags/TagFields.h"

using namespace TagLib;

namespace {
// The freeform atoms' prefix, and the properties that live under it where TagLib maps none.
const String FreeformPrefix = "----:com.apple.iTunes:";
const String ReplayGainPrefix = "REPLAYGAIN_";

struct ImageKind {
    MP4::CoverArt::Format format;
    const char* mimeType;
};
constexpr ImageKind ImageKinds[] = {{MP4::CoverArt::JPEG, "image/jpeg"},
                                    {MP4::CoverArt::PNG, "image/png"},
                                    {MP4::CoverArt::GIF, "image/gif"},
                                    {MP4::CoverArt::BMP, "image/bmp"}};

MP4::CoverArt::Format FormatOf(const String& mimeType) {
    for (const ImageKind& kind : ImageKinds) {
        if (mimeType.upper() == String(kind.mimeType).upper())
            return kind.format;
    }
    return MP4::CoverArt::Unknown;
}

String MimeTypeOf(MP4::CoverArt::Format format) {
    for (const ImageKind& kind : ImageKinds) {
        if (kind.format == format)
            return kind.mimeType;
    }
    return "image/";
}

PropertyMap ReplayGainFields(const MP4::Tag& tag) {
    PropertyMap fields;
    for (const auto& [name, item] : tag.itemMap()) {
        if (name.startsWith(FreeformPrefix + ReplayGainPrefix))
            fields.replace(name.substr(FreeformPrefix.size()).upper(), item.toStringList());
    }
    return fields;
}

std::vector<AudioTags::Picture> PicturesOf(const MP4::Tag& tag) {
    std::vector<AudioTags::Picture> pictures;
    if (!tag.contains("covr"))
        return pictures;
    for (const MP4::CoverArt& art : tag.item("covr").toCoverArtList()) {
        const auto type = pictures.empty() ? AudioTags::FrontCover : AudioTags::OtherPicture;
        if (pictures.size() < MaxPictures && art.data().size() <= MaxPictureBytes)
            pictures.push_back({type, MimeTypeOf(art.format()), String(), art.data()});
    }
    return pictures;
}

void SetFields(MP4::Tag& tag, const PropertyMap& fields) {
    PropertyMap all = tag.properties();
    for (const auto& [property, values] : fields) {
        if (property.startsWith(ReplayGainPrefix))
            tag.setItem(FreeformPrefix + property, MP4::Item(values));
        else
            all.replace(property, values);
    }
    tag.setProperties(all);
}

void SetPictures(MP4::Tag& tag, const AudioTags& tags) {
    if (tags.pictures.empty())
        return;
    const AudioTags::Picture* main = tags.MainPicture();
    MP4::CoverArtList covers;
    covers.append(MP4::CoverArt(FormatOf(main->mimeType), main->data));
    for (const AudioTags::Picture& picture : tags.pictures) {
        if (&picture != main)
            covers.append(MP4::CoverArt(FormatOf(picture.mimeType), picture.data));
    }
    tag.setItem("covr", MP4::Item(covers));
}
} // namespace

AudioTags ReadMp4Tags(IOStream& stream) {
    MP4::File file(&stream, false);
    AudioTags tags;
    if (!file.isValid() || !file.hasMP4Tag())
        return tags;
    const MP4::Tag& tag = *file.tag();
    tags.fields = CarriedFields(tag.properties());
    AddMissingFields(tags.fields, CarriedFields(ReplayGainFields(tag)));
    tags.pictures = PicturesOf(tag);
    return tags;
}

bool WriteMp4Tags(IOStream& stream, const AudioTags& tags) {
    MP4::File file(&stream, false);
    if (!file.isValid())
        return false;
    MP4::Tag& tag = *file.tag();
    SetFields(tag, tags.fields);
    SetPictures(tag, tags);
    return file.save();
}

namespace {
// An MP4 file begins with its "ftyp" box.
bool ClaimsMp4(const ByteVector& head) {
    return head.containsAt("ftyp", 4);
}
} // namespace

const TagFormat Mp4Tags = {ClaimsMp4, ReadMp4Tags, WriteMp4Tags};
