#include "tags/ReplayGainFields.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

using namespace TagLib;

namespace {
constexpr double ReplayGainReference = -18.0; // LUFS
constexpr double R128Offset = 5.0;            // dB from ReplayGain's reference down to -23 LUFS
constexpr double Q78Unit = 256.0;

struct GainScope {
    const char* gain;
    const char* peak;
    const char* r128;
};
constexpr GainScope TrackScope = {"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK",
                                  "R128_TRACK_GAIN"};
constexpr GainScope AlbumScope = {"REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK",
                                  "R128_ALBUM_GAIN"};

bool IsNamed(const AudioTags::FreeField& field, const char* name) {
    return field.name.upper() == name;
}

// The first value of the field of that name, in any letter case.
std::optional<std::string> ValueOf(const FreeFields& fields, const char* name) {
    const auto field = std::ranges::find_if(
        fields, [name](const AudioTags::FreeField& f) { return IsNamed(f, name); });
    if (field == fields.end() || field->values.isEmpty()) {
        return std::nullopt;
    }
    return field->values.front().stripWhiteSpace().to8Bit(true);
}

void Drop(FreeFields& fields, const char* name) {
    std::erase_if(fields, [name](const AudioTags::FreeField& f) { return IsNamed(f, name); });
}

std::optional<double> Number(std::string text) {
    if (text.starts_with('+')) {
        text.erase(0, 1);
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// "-3.21 dB", "+2 dB" or "-3.21".
std::optional<double> Decibels(std::string text) {
    if (text.size() >= 2 && String(text.substr(text.size() - 2)).upper() == "DB") {
        text.resize(text.size() - 2);
        text = String(text, String::UTF8).stripWhiteSpace().to8Bit(true);
    }
    return Number(text);
}

// An R128 field's Q7.8 number, in dB relative to ReplayGain's reference.
std::optional<double> R128Decibels(const std::string& text) {
    const std::optional<double> steps = Number(text);
    if (!steps || *steps != std::trunc(*steps) || std::fabs(*steps) > 32768) {
        return std::nullopt;
    }
    return *steps / Q78Unit + R128Offset;
}

String Formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

String R128Text(double decibels) {
    const double steps = std::round((decibels - R128Offset) * Q78Unit);
    return String::number(static_cast<int>(std::clamp(steps, -32768.0, 32767.0)));
}

void Put(FreeFields& fields, GainForm form, const char* name, const String& value) {
    std::string stored = name;
    if (form == GainForm::LowerCaseReplayGain) {
        std::ranges::transform(stored, stored.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    fields.push_back({String(stored), StringList(value)});
}

// The scope's gain held in the other form, turned into this one.
void Convert(FreeFields& fields, GainForm form, const GainScope& scope) {
    if (form == GainForm::R128) {
        const auto text = ValueOf(fields, scope.gain);
        const auto gain = text ? Decibels(*text) : std::nullopt;
        Drop(fields, scope.gain);
        Drop(fields, scope.peak);
        if (gain && !ValueOf(fields, scope.r128)) {
            Put(fields, form, scope.r128, R128Text(*gain));
        }
        return;
    }
    const auto text = ValueOf(fields, scope.r128);
    const auto gain = text ? R128Decibels(*text) : std::nullopt;
    Drop(fields, scope.r128);
    if (gain && !ValueOf(fields, scope.gain)) {
        Put(fields, form, scope.gain, Formatted("%.2f dB", *gain));
    }
}

void PutMeasured(FreeFields& fields, GainForm form, const GainScope& scope,
                 const TrackLoudness& measured) {
    for (const char* name : {scope.gain, scope.peak, scope.r128}) {
        Drop(fields, name);
    }
    if (!std::isfinite(measured.Loudness)) {
        return;
    }
    const double gain = ReplayGainReference - measured.Loudness;
    if (form == GainForm::R128) {
        Put(fields, form, scope.r128, R128Text(gain));
        return;
    }
    Put(fields, form, scope.gain, Formatted("%.2f dB", gain));
    Put(fields, form, scope.peak, Formatted("%.6f", measured.Peak));
}

void Shape(FreeFields& fields, GainForm form, const GainScope& scope,
           const std::optional<TrackLoudness>& measured) {
    if (measured) {
        PutMeasured(fields, form, scope, *measured);
    } else {
        Convert(fields, form, scope);
    }
}
} // namespace

void ShapeReplayGain(FreeFields& fields, GainForm form, const std::optional<TrackLoudness>& track,
                     const std::optional<TrackLoudness>& album) {
    Shape(fields, form, TrackScope, track);
    Shape(fields, form, AlbumScope, album);
}
