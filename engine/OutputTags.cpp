#include "engine/OutputTags.h"

#include <exception>
#include <optional>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatTable.h"
#include "engine/ConversionError.h"
#include "engine/LoudnessValues.h"
#include "engine/RowPart.h"
#include "tags/CopyAudioTags.h"
#include "tags/CoverStep.h"
#include "tags/ReadAudioTags.h"
#include "tags/ReplayGainFields.h"
#include "tags/TagFields.h"
#include "tags/TagFormat.h"

namespace {
bool SameName(const TagLib::String& a, const std::string& b) {
    return a.upper() == TagLib::String(b, TagLib::String::UTF8).upper();
}

// The whole input's sheet and gains say nothing true of a part.
bool OfTheWhole(const TagLib::String& name) {
    return name.upper() == "CUESHEET" || name.upper().startsWith("REPLAYGAIN_");
}

void PutPartTags(const RowPart& part, AudioTags& tags) {
    std::erase_if(tags.freeFields,
                  [](const AudioTags::FreeField& field) { return OfTheWhole(field.name); });
    TagLib::PropertyMap fields;
    std::vector<AudioTags::FreeField> freeFields;
    for (const auto& [name, text] : part.Tags) {
        const TagLib::String value(text, TagLib::String::UTF8);
        if (IsTagField(TagLib::String(name, TagLib::String::UTF8))) {
            fields[name].append(value);
            continue;
        }
        std::erase_if(tags.freeFields,
                      [&key = name](const auto& field) { return SameName(field.name, key); });
        freeFields.push_back({TagLib::String(name, TagLib::String::UTF8), {value}});
    }
    for (const auto& [name, values] : fields) {
        tags.fields.replace(name, values);
    }
    tags.freeFields.insert(tags.freeFields.end(), freeFields.begin(), freeFields.end());
}
} // namespace

OutputTags::OutputTags(const std::string& input, const ConversionSettings& settings,
                       const RowValues& values, const RowPart* part)
    : target_(settings.TargetFormat) {
    const FormatInfo* format = FindTargetFormat(target_);
    if (!format || !format->Tags) {
        return;
    }
    try {
        if (settings.CopyTags) {
            ReadTags(input, settings, part);
        } else if (settings.ReplayGain != ReplayGainMode::None) {
            tags_ = std::make_unique<AudioTags>();
        }
        if (tags_) {
            PutGain(settings, values);
        }
    } catch (const std::exception&) {
        // Even running out of memory for them only leaves the tags behind.
    }
}

void OutputTags::ReadTags(const std::string& input, const ConversionSettings& settings,
                          const RowPart* part) {
    tags_ = std::make_unique<AudioTags>(ReadAudioTagsOfFile(input));
    if (part) {
        PutPartTags(*part, *tags_);
    }
    std::vector<CoverProblem> problems;
    CoverStep(settings.CoverSize, settings.CoverFiles).Apply(*tags_, input, problems);
    for (const CoverProblem& problem : problems) {
        lines_.push_back(CoverProblemLine(problem, input));
    }
}

void OutputTags::PutGain(const ConversionSettings& settings, const RowValues& values) {
    const auto measured = [&](std::string_view loudnessName,
                              std::string_view peakName) -> std::optional<TrackLoudness> {
        const auto loudness = values.find(loudnessName);
        const auto peak = values.find(peakName);
        if (settings.ReplayGain == ReplayGainMode::None || loudness == values.end() ||
            peak == values.end()) {
            return std::nullopt;
        }
        return TrackLoudness{loudness->second, peak->second};
    };
    ShapeReplayGain(tags_->freeFields, FindTargetFormat(target_)->Tags->Gain,
                    measured(LoudnessValue, PeakValue),
                    measured(AlbumLoudnessValue, AlbumPeakValue));
}

OutputTags::~OutputTags() = default;

void OutputTags::WriteTo(int outputFd) const {
    if (!tags_) {
        return;
    }
    try {
        CopyAudioTags(*tags_, outputFd, *FindTargetFormat(target_)->Tags);
    } catch (const std::exception&) {
        // Thrown before anything was written: the converted file stays as it was.
    }
}
