#include "selector/SheetTracks.h"

#include <cstdio>
#include <filesystem>

#include "cue/AudioLength.h"
#include "cue/CueSheet.h"

namespace {
constexpr char KeySeparator = '\0';

std::string TrackName(const CueTrack& track) {
    char number[16];
    std::snprintf(number, sizeof number, "%02u", track.number);
    const auto titles = track.tags.fields.find("TITLE");
    return titles == track.tags.fields.end() || titles->second.isEmpty()
               ? std::string(number)
               : std::string(number) + " - " + titles->second.front().to8Bit(true);
}

// Whole seconds, cut as players cut them.
std::string LengthText(int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

// The last track of a file ends with its audio, whose header tells how long that is.
std::string LengthOf(const CueTrack& track) {
    if (track.end) {
        return LengthText((*track.end - track.start) / CdFramesPerSecond);
    }
    const std::optional<AudioLength> audio = ReadAudioLength(track.audioPath);
    if (!audio || audio->rate <= 0) {
        return {};
    }
    const int64_t frames = audio->frames - track.StartFrame(audio->rate);
    return frames > 0 ? LengthText(frames / audio->rate) : std::string();
}
} // namespace

SheetTracks::SheetTracks(const std::string& sheetPath) {
    CueSheet sheet = CueSheet::Read(sheetPath);
    if (sheet.Failed() || !sheet.CheckLengths()) {
        errorLine_ = sheet.ErrorLine();
        return;
    }
    for (const CueTrack& track : sheet.Tracks()) {
        tracks_.push_back({track.number, TrackName(track), LengthOf(track),
                           std::filesystem::path(track.audioPath).lexically_normal().string(),
                           track.Part()});
    }
}

const SheetTracks::Track* SheetTracks::Find(unsigned number) const {
    for (const Track& track : tracks_) {
        if (track.number == number) {
            return &track;
        }
    }
    return nullptr;
}

std::string SheetTracks::TrackKey(const std::string& sheetPath, unsigned number) {
    return sheetPath + KeySeparator + std::to_string(number);
}

std::string SheetTracks::SheetOfKey(const std::string& key) {
    return key.substr(0, key.find(KeySeparator));
}

std::optional<unsigned> SheetTracks::TrackOfKey(const std::string& key) {
    const std::size_t at = key.find(KeySeparator);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(key.substr(at + 1)));
}
