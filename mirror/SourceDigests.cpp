#include "mirror/SourceDigests.h"

#include <taglib/flacfile.h>
#include <taglib/flacproperties.h>

#include <algorithm>

#include "catalog/FormatTable.h"
#include "mirror/DecodeAudio.h"
#include "mirror/Sha256.h"
#include "system/FileNames.h"
#include "system/FileRoutines.h"
#include "tags/ReadAudioTags.h"

namespace {
void AddString(Sha256& sha, const TagLib::String& text) {
    sha.AddField(text.to8Bit(true));
}

void AddStrings(Sha256& sha, const TagLib::StringList& values) {
    sha.AddNumber(values.size());
    for (const TagLib::String& value : values) {
        AddString(sha, value);
    }
}

} // namespace

bool SourceDigests::IsFlac(const std::string& path) {
    const FormatInfo* format = FindReadFormat(GetFileExtension(path));
    return format && format->Key == "flac";
}

SourceDigests::SourceDigests(std::string path, const JobEnvironment& environment)
    : path_(std::move(path)), environment_(environment) {}

std::optional<Digest> SourceDigests::FlacSignature(const std::string& path) {
    if (!IsFlac(path) || !OpenRegularFile(path).Valid()) {
        return std::nullopt;
    }
    TagLib::FLAC::File file(path.c_str(), true, TagLib::AudioProperties::Fast);
    const TagLib::FLAC::Properties* properties = file.isValid() ? file.audioProperties() : nullptr;
    if (!properties) {
        return std::nullopt;
    }
    const TagLib::ByteVector md5 = properties->signature();
    // An encoder that did not compute it leaves zeros.
    if (md5.size() != 16 || std::all_of(md5.begin(), md5.end(), [](char c) { return c == 0; })) {
        return std::nullopt;
    }
    Sha256 sha;
    sha.AddField("FLAC STREAMINFO");
    sha.AddNumber(static_cast<uint64_t>(properties->sampleRate()));
    sha.AddNumber(static_cast<uint64_t>(properties->channels()));
    sha.AddNumber(static_cast<uint64_t>(properties->bitsPerSample()));
    sha.AddNumber(properties->sampleFrames());
    sha.Add(md5.data(), md5.size());
    return sha.Finish();
}

std::optional<Digest> SourceDigests::Audio() {
    if (const std::optional<Digest> known = KnownAudio()) {
        return known;
    }
    if (!audio_) {
        const std::optional<DecodedAudio> decoded = DecodeAudio(path_, environment_);
        audio_ = decoded ? std::optional<Digest>(decoded->digest) : std::nullopt;
    }
    return *audio_;
}

std::optional<Digest> SourceDigests::KnownAudio() {
    if (!signature_) {
        signature_ = FlacSignature(path_);
    }
    if (*signature_) {
        return *signature_;
    }
    return audio_ && *audio_ ? *audio_ : decoded_;
}

std::optional<Digest> SourceDigests::Tags() {
    if (tags_) {
        return *tags_;
    }
    if (!OpenRegularFile(path_).Valid()) {
        tags_ = std::optional<Digest>();
        return std::nullopt;
    }
    const AudioTags tags = ReadAudioTagsOfFile(path_);
    Sha256 sha;
    sha.AddNumber(tags.fields.size());
    for (const auto& [name, values] : tags.fields) {
        AddString(sha, name);
        AddStrings(sha, values);
    }
    sha.AddNumber(tags.freeFields.size());
    for (const AudioTags::FreeField& field : tags.freeFields) {
        AddString(sha, field.name);
        AddStrings(sha, field.values);
    }
    sha.AddNumber(tags.pictures.size());
    for (const AudioTags::Picture& picture : tags.pictures) {
        sha.AddNumber(picture.type);
        AddString(sha, picture.mimeType);
        AddString(sha, picture.description);
        sha.AddField(std::string_view(picture.data.data(), picture.data.size()));
    }
    sha.AddNumber(tags.id3v1 ? 1 : 0);
    tags_ = sha.Finish();
    return *tags_;
}
