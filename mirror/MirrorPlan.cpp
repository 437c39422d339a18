#include "mirror/MirrorPlan.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include <taglib/mp4file.h>
#include <taglib/mp4properties.h>

#include "catalog/FormatTable.h"
#include "mirror/DecodeAudio.h"
#include "mirror/FileDigest.h"
#include "system/FileNames.h"

namespace {
// Whether files of the format of that key lost something when they were made: a copy of one is
// as good as any.
bool IsLossy(std::string_view key) {
    const FormatInfo* format = FindTargetFormat(key);
    return format && !format->Lossless;
}

// The format a source holds, by its target key: an .m4a file, read as AAC by its extension, may
// hold Apple Lossless, which only its content tells.
std::string SourceKeyOf(const std::string& path, const FileState& state) {
    const FormatInfo* format = FindReadFormat(GetFileExtension(path));
    if (!format) {
        return {};
    }
    if (format->Key == "m4a" && state.Readable()) {
        const TagLib::MP4::File file(path.c_str(), true, TagLib::AudioProperties::Fast);
        const TagLib::MP4::Properties* properties =
            file.isValid() ? file.audioProperties() : nullptr;
        if (properties && properties->codec() == TagLib::MP4::Properties::ALAC) {
            return "alac";
        }
    }
    return std::string(format->Key);
}

// What a copy is made with: the bytes of its source, whatever the conversion settings.
constexpr std::string_view CopyKey = "copy";

// A fixed digest for the tags when none are carried: a change of them is no change of the output.
DigestQuery NoTags() {
    return [] { return std::optional<Digest>(Digest{}); };
}

std::string RowKey(std::string_view root, std::string_view source) {
    return std::string(root) + '\0' + std::string(source);
}
} // namespace

bool MirrorPlan::IsJournalName(const std::string& name) {
    return name.starts_with(".brindlex-mirror");
}

MirrorPlan::MirrorPlan(std::string folder, const std::vector<MirrorSource>& sources,
                       const std::vector<std::string>& roots, std::vector<MirrorRow> rows,
                       bool trusted, const MirrorRules& rules, const JobEnvironment& environment)
    : folder_(std::move(folder)), rules_(rules), environment_(environment), trusted_(trusted),
      roots_(roots) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::recursive_directory_iterator
             it(folder_, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        if (IsJournalName(it->path().filename().string())) {
            it.disable_recursion_pending();
            continue;
        }
        if (!it->is_directory(ec)) {
            scan_.emplace(it->path().lexically_relative(folder_).string(),
                          FileState::Of(it->path().string()));
        }
    }
    for (MirrorRow& row : rows) {
        rowsBySource_.emplace(RowKey(row.root, row.source), std::move(row));
    }
    for (const auto& [key, row] : rowsBySource_) {
        if (std::ranges::find(roots_, row.root) == roots_.end()) {
            rowsElsewhere_.emplace(row.output, key);
        }
    }
    std::set<std::string> seen;
    for (const MirrorSource& source : sources) {
        seen.insert(RowKey(source.root, source.relative));
        DecideSource(source);
    }
    for (const auto& [key, row] : rowsBySource_) {
        if (!seen.contains(key) && std::ranges::find(roots_, row.root) != roots_.end()) {
            DecideOrphan(row);
        }
    }
}

FileState MirrorPlan::OutputState(const std::string& output) const {
    const auto found = scan_.find(output);
    return found == scan_.end() ? FileState{} : found->second;
}

MirrorFacts MirrorPlan::Facts(MirrorItem& item, const std::string& outputName) const {
    MirrorFacts facts;
    facts.row = item.row ? &*item.row : nullptr;
    facts.journalTrusted = trusted_;
    std::error_code ec;
    facts.rootPresent = std::filesystem::is_directory(item.root, ec);
    facts.source = item.sourceState;
    facts.nowNs = rules_.nowNs;
    facts.audioDigest = item.digests->AudioQuery();
    facts.tagsDigest = rules_.copyTags ? item.digests->TagsQuery() : NoTags();
    facts.outputName = outputName;
    const std::string shown = item.row ? item.row->output : outputName;
    facts.output = OutputState(shown);
    const std::string outputPath = OutputPath(shown);
    facts.outputDigest = [outputPath] { return FileDigest(outputPath); };
    facts.atNewName = OutputState(outputName);
    facts.extra = item.extra;
    facts.copySame = rules_.copySame;
    facts.copyLossy = rules_.copyLossy;
    // Only the copy rules ask what the source holds, which may mean opening it.
    const std::string sourceKey =
        rules_.copySame || rules_.copyLossy ? SourceKeyOf(item.SourcePath(), item.sourceState) : "";
    facts.sourceIsTargetFormat = sourceKey == rules_.targetKey;
    facts.sourceLossy = IsLossy(sourceKey);
    facts.targetLossy = IsLossy(rules_.targetKey);
    item.copied = CopiedAsIs(facts);
    item.settingsKey = item.copied ? std::string(CopyKey) : rules_.settingsKey;
    facts.settingsKey = item.settingsKey;
    const std::string sourcePath = item.SourcePath();
    const bool copied = item.copied;
    const JobEnvironment* environment = &environment_;
    const std::shared_ptr<SourceDigests> digests = item.digests;
    facts.outputMatchesSource = [sourcePath, outputPath, copied, environment, digests] {
        if (copied) {
            const std::optional<Digest> output = FileDigest(outputPath);
            return output && output == FileDigest(sourcePath);
        }
        const std::optional<DecodedAudio> source = DecodeAudio(sourcePath, *environment);
        // The adopted output's row takes the digest of this decoding.
        if (source) {
            digests->Decoded(source->digest);
        }
        const std::optional<DecodedAudio> output =
            source ? DecodeAudio(outputPath, *environment) : std::nullopt;
        return source && output && SameLength(*source, *output);
    };
    return facts;
}

MirrorItem MirrorPlan::NewItem(std::string root, std::string source, std::string output) const {
    MirrorItem item;
    item.root = std::move(root);
    item.source = std::move(source);
    item.output = std::move(output);
    item.sourceState = FileState::Of(item.SourcePath());
    item.digests = std::make_shared<SourceDigests>(item.SourcePath(), environment_);
    return item;
}

void MirrorPlan::DecideSource(const MirrorSource& source) {
    MirrorItem item = NewItem(source.root, source.relative, source.output);
    item.extra = source.extra;
    item.row = RowOf(source);
    const bool moved = item.row && item.row->root != source.root;
    MirrorFacts facts = Facts(item, source.output);
    // A copy keeps its own type, and so its extension.
    if (item.copied && !item.extra) {
        item.output = RemoveExtension(source.output) + GetFileExtension(source.relative);
        facts = Facts(item, item.output);
    }
    item.verdict = DecideMirror(facts);
    if (moved && item.Action() == MirrorAction::Skip) {
        // The row is stored again under the folder the library has now.
        item.verdict.refresh = true;
        if (item.verdict.reason.empty()) {
            item.verdict.reason = "its source moved from '" + item.row->root + "'";
        }
    }
    if (item.row && item.row->output != item.output) {
        item.oldOutput = item.row->output;
        // Kept or deleted, an output is shown by the name it has.
        if (item.Action() != MirrorAction::Rename) {
            item.output = item.row->output;
        }
    }
    items_.push_back(std::move(item));
}

// The source's own row; or, for a library moved to another folder, the row of the same file
// below the folder it left, when that output is the one this source is given and nothing is
// left where the row's source was.
std::optional<MirrorRow> MirrorPlan::RowOf(const MirrorSource& source) const {
    if (const auto own = rowsBySource_.find(RowKey(source.root, source.relative));
        own != rowsBySource_.end()) {
        return own->second;
    }
    const auto elsewhere = rowsElsewhere_.find(source.output);
    if (elsewhere == rowsElsewhere_.end()) {
        return std::nullopt;
    }
    const MirrorRow& row = rowsBySource_.at(elsewhere->second);
    if (row.source != source.relative || !FileState::Of(row.root + "/" + row.source).Gone()) {
        return std::nullopt;
    }
    return row;
}

void MirrorPlan::DecideOrphan(const MirrorRow& row) {
    MirrorItem item = NewItem(row.root, row.source, row.output);
    item.row = row;
    // A source still there but no longer collected (--from, say) is no orphan: left alone.
    if (item.sourceState.Readable()) {
        return;
    }
    item.verdict = DecideMirror(Facts(item, row.output));
    items_.push_back(std::move(item));
}

std::array<std::size_t, 8> MirrorPlan::Counts() const {
    std::array<std::size_t, 8> counts{};
    for (const MirrorItem& item : items_) {
        ++counts[static_cast<std::size_t>(item.Action())];
    }
    return counts;
}
