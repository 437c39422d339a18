#include "formats/mp4/Mp4Tags.h"

#include <algorithm>
#include <optional>
#include <string>

#include <taglib/mp4file.h>

#include "tags/FreeFields.h"
#include "tags/NumberPairs.h"
#include "tags/TagFields.h"

using namespace TagLib;

namespace {
// The iTunes freeform atoms, which hold the free-form fields.
const String FreeformPrefix = "----:com.apple.iTunes:";

// Track and disc numbers are two 16-bit unsigned numbers each, the number and the total (0 for
// none), which TagLib 1.13 reads as signed ones and writes from any text: both are done here.
struct NumberAtom {
    const char* property;
    const char* atom;
};
constexpr NumberAtom NumberAtoms[] = {{"TRACKNUMBER", "trkn"}, {"DISCNUMBER", "disk"}};

// "3" or "3/12", as the other formats hold them.
String NumberText(const MP4::Item::IntPair& pair) {
    const String number = String::number(static_cast<uint16_t>(pair.first));
    const auto total = static_cast<uint16_t>(pair.second);
    return total ? number + "/" + String::number(total) : number;
}

// A number an atom holds: decimal digits worth at most 65535.
std::optional<int> Mp4Number(const String& text) {
    const std::string digits = text.stripWhiteSpace().to8Bit();
    constexpr size_t MaxDigits = 5;
    if (digits.empty() || digits.size() > MaxDigits ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int value = std::stoi(digits);
    return value <= 0xFFFF ? std::optional<int>(value) : std::nullopt;
}

// The atom for "3" or "3/12"; none when the number is not one an atom holds, and no total when
// the total is not.
std::optional<MP4::Item> NumberItem(const String& text) {
    const int slash = text.find("/");
    const std::optional<int> number = Mp4Number(slash < 0 ? text : text.substr(0, slash));
    if (!number)
        return std::nullopt;
    const std::optional<int> total = slash < 0 ? std::nullopt : Mp4Number(text.substr(slash + 1));
    return MP4::Item(*number, total.value_or(0));
}

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

PropertyMap FieldsOf(const MP4::Tag& tag) {
    PropertyMap fields = CarriedFields(tag.properties());
    for (const NumberAtom& number : NumberAtoms) {
        if (tag.contains(number.atom))
            fields.replace(number.property, NumberText(tag.item(number.atom).toIntPair()));
    }
    return fields;
}

FreeFields FreeFieldsOf(const MP4::Tag& tag) {
    FreeFields fields;
    for (const auto& [name, item] : tag.itemMap()) {
        if (name.startsWith(FreeformPrefix) && item.atomDataType() == MP4::TypeUTF8)
            CarryFreeField(fields, name.substr(FreeformPrefix.size()), item.toStringList());
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

void SetFields(MP4::Tag& tag, const AudioTags& tags) {
    const PropertyMap fields = JoinedNumberPairs(tags.fields);
    PropertyMap all = tag.properties();
    for (const auto& [property, values] : fields)
        all.replace(property, values);
    for (const NumberAtom& number : NumberAtoms)
        all.erase(number.property);
    tag.setProperties(all);
    for (const NumberAtom& number : NumberAtoms) {
        const std::optional<MP4::Item> item = fields.contains(number.property)
                                                  ? NumberItem(fields[number.property].front())
                                                  : std::nullopt;
        if (item)
            tag.setItem(number.atom, *item);
    }
    // A name with a colon has no place in a freeform atom's key.
    for (const AudioTags::FreeField& field : tags.freeFields) {
        if (field.name.find(":") < 0)
            tag.setItem(FreeformPrefix + field.name, MP4::Item(field.values));
    }
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
    tags.fields = FieldsOf(tag);
    tags.freeFields = FreeFieldsOf(tag);
    tags.pictures = PicturesOf(tag);
    return tags;
}

bool WriteMp4Tags(IOStream& stream, const AudioTags& tags) {
    MP4::File file(&stream, false);
    if (!file.isValid())
        return false;
    MP4::Tag& tag = *file.tag();
    SetFields(tag, tags);
    SetPictures(tag, tags);
    return file.save();
}

namespace {
// An MP4 file begins with its "ftyp" box.
bool ClaimsMp4(const ByteVector& head) {
    return head.containsAt("ftyp", 4);
}
} // namespace

// Players look for the ReplayGain atoms under lower-case names.
const TagFormat Mp4Tags = {ClaimsMp4, ReadMp4Tags, WriteMp4Tags, GainForm::LowerCaseReplayGain};
