#include "cue/SheetInputs.h"

#include <filesystem>
#include <set>

#include "cue/CueSheet.h"
#include "formats/flac/FlacCueBlock.h"
#include "system/FileNames.h"
#include "system/FileTypes.h"

namespace {
bool IsCueSheet(const std::string& path) {
    return IsCueSheetType(GetFileExtension(path));
}

// The sheet a FLAC file holds, none when it holds none that lists tracks.
std::optional<CueSheet> EmbeddedSheet(const std::string& path, const std::string& charset) {
    const std::optional<FlacCueBlock> block = ReadFlacCueBlock(path);
    if (!block) {
        return std::nullopt;
    }
    if (!block->tracks.empty()) {
        return CueSheet::OfBlock(*block, path);
    }
    if (block->sheetText.empty()) {
        return std::nullopt;
    }
    return CueSheet::Embedded(block->sheetText, path, charset);
}

// The rows of one input: its tracks when it is an album.
struct InputRows {
    std::vector<std::string> paths;
    std::vector<std::optional<RowPart>> parts;
};

// The rows of sheet's tracks, or none with its error line among failures.
InputRows TrackRows(CueSheet& sheet, std::vector<std::string>& failures) {
    InputRows rows;
    if (sheet.Failed() || !sheet.CheckLengths()) {
        failures.push_back(sheet.ErrorLine());
        return rows;
    }
    for (const CueTrack& track : sheet.Tracks()) {
        rows.paths.push_back(std::filesystem::path(track.audioPath).lexically_normal().string());
        rows.parts.push_back(track.Part());
    }
    return rows;
}
} // namespace

SplitInputs SplitAlbums(std::vector<std::string>& paths, std::vector<std::string>& subFolders,
                        const SheetChoices& choices) {
    SplitInputs split;
    std::vector<InputRows> rows(paths.size());
    std::set<std::string> splitAudio;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (IsCueSheet(paths[i])) {
            CueSheet sheet = CueSheet::Read(paths[i], choices.charset);
            rows[i] = TrackRows(sheet, split.failures);
            splitAudio.insert(rows[i].paths.begin(), rows[i].paths.end());
        }
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string normal = std::filesystem::path(paths[i]).lexically_normal().string();
        if (IsCueSheet(paths[i]) || splitAudio.contains(normal)) {
            continue;
        }
        std::optional<CueSheet> sheet;
        if (choices.splitEmbedded) {
            sheet = EmbeddedSheet(paths[i], choices.charset);
        }
        rows[i] = sheet ? TrackRows(*sheet, split.failures) : InputRows{{paths[i]}, {std::nullopt}};
    }
    std::vector<std::string> resultPaths;
    std::vector<std::string> resultFolders;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t r = 0; r < rows[i].paths.size(); ++r) {
            resultPaths.push_back(rows[i].paths[r]);
            resultFolders.push_back(subFolders[i]);
            split.parts.push_back(rows[i].parts[r]);
        }
    }
    paths = std::move(resultPaths);
    subFolders = std::move(resultFolders);
    return split;
}
