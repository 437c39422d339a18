#include "cue/CueSheet.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>

#include <libcue.h>

#include "cue/AudioLength.h"
#include "cue/CueAudioFile.h"
#include "cue/CueLines.h"
#include "cue/CueText.h"
#include "engine/ConversionError.h"
#include "formats/flac/FlacCueBlock.h"
#include "system/UniqueFd.h"

namespace {
constexpr const char* HiddenTrackTitle = "Hidden Track";

struct FreeCd {
    void operator()(Cd* cd) const { cd_delete(cd); }
};
using CdHandle = std::unique_ptr<Cd, FreeCd>;

// libcue's parser keeps its state in globals.
std::mutex ParserLock;

CdHandle ParseCd(const std::string& text) {
    const std::lock_guard lock(ParserLock);
    return CdHandle(cue_parse_string(text.c_str()));
}

std::string SystemCause(int error) {
    std::string cause = strerrordesc_np(error) ? strerrordesc_np(error) : "unknown error";
    cause[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(cause[0])));
    return cause;
}

void Put(AudioTags& tags, const char* field, const char* value) {
    if (value != nullptr && *value != '\0') {
        tags.fields.replace(field, TagLib::String(value, TagLib::String::UTF8));
    }
}

void PutRemarks(AudioTags& tags, const std::map<std::string, std::string>& remarks) {
    for (const auto& [field, value] : remarks) {
        Put(tags, field.c_str(), value.c_str());
    }
}

// The number of the number-th of total tracks, and its ISRC; the hidden track's title.
AudioTags NumberTags(unsigned number, unsigned total, const char* isrc) {
    AudioTags tags;
    Put(tags, "TRACKNUMBER", std::to_string(number).c_str());
    Put(tags, "TRACKTOTAL", std::to_string(total).c_str());
    if (number == 0) {
        Put(tags, "TITLE", HiddenTrackTitle);
    }
    if (isrc != nullptr && *isrc != '\0') {
        tags.freeFields.push_back({"ISRC", TagLib::StringList(isrc)});
    }
    return tags;
}

// The tags of the number-th of total tracks; track is null for the hidden track.
AudioTags TrackTags(const Cd* cd, const Track* track, unsigned number, unsigned total,
                    const CueLines& lines) {
    AudioTags tags = NumberTags(number, total, track ? track_get_isrc(track) : nullptr);
    const Cdtext* disc = cd_get_cdtext(cd);
    Put(tags, "ALBUM", cdtext_get(PTI_TITLE, disc));
    Put(tags, "ALBUMARTIST", cdtext_get(PTI_PERFORMER, disc));
    Put(tags, "ARTIST", cdtext_get(PTI_PERFORMER, disc));
    PutRemarks(tags, lines.Remarks()[0]);
    if (track == nullptr) {
        return tags;
    }
    const Cdtext* text = track_get_cdtext(track);
    Put(tags, "TITLE", cdtext_get(PTI_TITLE, text));
    Put(tags, "ARTIST", cdtext_get(PTI_PERFORMER, text));
    PutRemarks(tags, lines.Remarks()[number]);
    return tags;
}

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}
} // namespace

CueSheet CueSheet::Read(const std::string& sheetPath, const std::string& charset) {
    const UniqueFd fd(open(sheetPath.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!fd.Valid() || fstat(fd.Get(), &status) != 0) {
        return CueSheet(sheetPath, SystemCause(errno));
    }
    if (static_cast<std::size_t>(status.st_size) > MaxBytes) {
        return CueSheet(sheetPath, "it is larger than 1 MiB");
    }
    // One byte more than the limit tells a file that grew since.
    std::string bytes(MaxBytes + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd.Get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return CueSheet(sheetPath, SystemCause(errno));
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got > MaxBytes) {
        return CueSheet(sheetPath, "it is larger than 1 MiB");
    }
    bytes.resize(got);
    return Parse(bytes, sheetPath, charset);
}

CueSheet CueSheet::Parse(std::string_view bytes, const std::string& sheetPath,
                         const std::string& charset) {
    return Plan(bytes, sheetPath, charset, {});
}

CueSheet CueSheet::Embedded(std::string_view bytes, const std::string& audioPath,
                            const std::string& charset) {
    return Plan(bytes, audioPath, charset, audioPath);
}

CueSheet CueSheet::Plan(std::string_view bytes, const std::string& path, const std::string& charset,
                        const std::string& embeddedIn) {
    if (bytes.size() > MaxBytes) {
        return CueSheet(path, "it is larger than 1 MiB");
    }
    const CueText text(bytes, charset);
    if (!text.Cause().empty()) {
        return CueSheet(path, text.Cause());
    }
    const CueLines lines(text.Text());
    if (!lines.Cause().empty()) {
        return CueSheet(path, lines.Cause());
    }
    if (!embeddedIn.empty() && lines.FileCount() > 1) {
        return CueSheet(path, "it names more than one audio file");
    }
    const CdHandle cd = ParseCd(lines.Rewritten());
    const int count = cd ? cd_get_ntrack(cd.get()) : 0;
    if (count <= 0 || static_cast<std::size_t>(count) + 1 != lines.Remarks().size()) {
        return CueSheet(path, "a syntax error");
    }
    const std::string folder = std::filesystem::path(path).parent_path().string() + "/";
    CueSheet sheet(path, {});
    std::map<std::string, std::string> found;
    const auto total = static_cast<unsigned>(count);
    const AudioTags hidden = TrackTags(cd.get(), nullptr, 0, total, lines);
    for (unsigned number = 1; number <= total; ++number) {
        const Track* track = cd_get_track(cd.get(), static_cast<int>(number));
        const char* name = track_get_filename(track);
        std::string audio = embeddedIn;
        if (audio.empty()) {
            if (name == nullptr) {
                return CueSheet(path, "track " + std::to_string(number) + " has no FILE");
            }
            if (!found.contains(name)) {
                found[name] = FindCueAudioFile(folder, name);
            }
            audio = found[name];
            if (audio.empty()) {
                return CueSheet(path, "'" + std::string(name) + "' was not found");
            }
        }
        sheet.Place(audio, number, track_get_index(track, 1),
                    TrackTags(cd.get(), track, number, total, lines), hidden);
        if (sheet.Failed()) {
            return sheet;
        }
    }
    return sheet;
}

CueSheet CueSheet::OfBlock(const FlacCueBlock& block, const std::string& audioPath) {
    if (block.tracks.size() > CueLines::MaxTracks) {
        return CueSheet(audioPath, "its cue sheet lists more than " +
                                       std::to_string(CueLines::MaxTracks) + " tracks");
    }
    if (block.rate == 0) {
        return CueSheet(audioPath, "its stream has no sample rate");
    }
    CueSheet sheet(audioPath, {});
    sheet.perSecond_ = block.rate;
    const auto total = static_cast<unsigned>(block.tracks.size());
    const AudioTags hidden = NumberTags(0, total, nullptr);
    int64_t last = -1;
    for (unsigned number = 1; number <= total; ++number) {
        const FlacCueBlock::Track& track = block.tracks[number - 1];
        const std::string which = "track " + std::to_string(number) + " of its cue sheet";
        if (!track.start) {
            return CueSheet(audioPath, which + " has no index");
        }
        if (block.frames != 0 && *track.start >= block.frames) {
            return CueSheet(audioPath, which + " starts past the end of the audio");
        }
        const auto start = static_cast<int64_t>(*track.start);
        if (start <= last) {
            return CueSheet(audioPath, which + " does not start after the track before it");
        }
        last = start;
        sheet.Place(audioPath, number, start, NumberTags(number, total, track.isrc.c_str()),
                    hidden);
    }
    return sheet;
}

void CueSheet::Place(const std::string& audio, unsigned number, int64_t start, AudioTags tags,
                     const AudioTags& hidden) {
    starts_.push_back({audio, start});
    const bool firstOfFile = tracks_.empty() || tracks_.back().audioPath != audio;
    // The lines are checked before libcue reads them, but what libcue makes of them is checked
    // too: a track it placed nowhere, or not after the one before, would be empty.
    if (start < 0 || (!firstOfFile && start <= tracks_.back().start)) {
        Fail("track " + std::to_string(number) + " does not start after the track before it");
        return;
    }
    if (!firstOfFile) {
        tracks_.back().end = start;
    }
    // What comes before the first track of a file is not lost: it goes to that track, or, when
    // longer than a second's lead-in, to a track of its own.
    int64_t from = firstOfFile ? 0 : start;
    if (number == 1 && start > perSecond_) {
        tracks_.push_back({audio, 0, 0, start, hidden, perSecond_});
        from = start;
    }
    tracks_.push_back({audio, number, from, std::nullopt, std::move(tags), perSecond_});
}

void CueSheet::Fail(std::string cause) {
    cause_ = std::move(cause);
    tracks_.clear();
}

std::string CueSheet::ErrorLine() const {
    std::string line = ConversionErrorLine(ConversionError::ceRead, path_);
    if (!cause_.empty()) {
        line.pop_back();
        line += ": " + cause_ + ".";
    }
    return line;
}

bool CueSheet::CheckLength(const std::string& audioPath, int64_t frames, int64_t rate) {
    for (std::size_t i = 0; i < starts_.size() && !Failed(); ++i) {
        const auto& [audio, start] = starts_[i];
        if (audio == audioPath && SampleFrameAt(start, rate, perSecond_) >= frames) {
            Fail("the INDEX 01 of track " + std::to_string(i + 1) + " lies past the end of '" +
                 FileName(audioPath) + "'");
        }
    }
    return !Failed();
}

bool CueSheet::CheckLengths() {
    std::string checked;
    for (const CueTrack& track : tracks_) {
        if (track.audioPath == checked) {
            continue;
        }
        checked = track.audioPath;
        if (const std::optional<AudioLength> length = ReadAudioLength(checked);
            length && !CheckLength(checked, length->frames, length->rate)) {
            return false;
        }
    }
    return !Failed();
}
