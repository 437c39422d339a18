#include "cli/SheetInputs.h"

#include <filesystem>
#include <set>

#include "cue/CueSheet.h"
#include "system/FileNames.h"

namespace {
bool IsCueSheet(const std::string& path) {
    return UpperAscii(GetFileExtension(path)) == UpperAscii(CueSheetExtension);
}

std::vector<std::pair<std::string, std::string>> TagPairs(const AudioTags& tags) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& [name, values] : tags.fields) {
        for (const TagLib::String& value : values) {
            pairs.emplace_back(name.to8Bit(true), value.to8Bit(true));
        }
    }
    for (const AudioTags::FreeField& field : tags.freeFields) {
        for (const TagLib::String& value : field.values) {
            pairs.emplace_back(field.name.to8Bit(true), value.to8Bit(true));
        }
    }
    return pairs;
}

// The rows of one input: its tracks when it is a sheet.
struct InputRows {
    std::vector<std::string> paths;
    std::vector<std::optional<RowPart>> parts;
};
} // namespace

SplitInputs SplitCueSheets(CollectedInputs& inputs, const std::string& charset) {
    SplitInputs split;
    std::vector<InputRows> rows(inputs.paths.size());
    std::set<std::string> splitAudio;
    for (std::size_t i = 0; i < inputs.paths.size(); ++i) {
        if (!IsCueSheet(inputs.paths[i])) {
            rows[i] = {{inputs.paths[i]}, {std::nullopt}};
            continue;
        }
        CueSheet sheet = CueSheet::Read(inputs.paths[i], charset);
        if (sheet.Failed() || !sheet.CheckLengths()) {
            split.failures.push_back(sheet.ErrorLine());
            continue;
        }
        for (const CueTrack& track : sheet.Tracks()) {
            const std::string audio =
                std::filesystem::path(track.audioPath).lexically_normal().string();
            splitAudio.insert(audio);
            rows[i].paths.push_back(audio);
            rows[i].parts.push_back(RowPart{track.start, track.end, TagPairs(track.tags)});
        }
    }
    CollectedInputs result;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t r = 0; r < rows[i].paths.size(); ++r) {
            if (!rows[i].parts[r] && splitAudio.contains(rows[i].paths[r])) {
                continue;
            }
            result.paths.push_back(rows[i].paths[r]);
            result.subFolders.push_back(inputs.subFolders[i]);
            split.parts.push_back(rows[i].parts[r]);
        }
    }
    inputs = std::move(result);
    return split;
}
