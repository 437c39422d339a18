#include "mirror/MirrorWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "catalog/FormatTable.h"
#include "engine/OutputTags.h"
#include "engine/StagedOutput.h"
#include "mirror/AudioDigestObserver.h"
#include "mirror/ClearTags.h"
#include "mirror/DecodeAudio.h"
#include "mirror/FileDigest.h"
#include "system/FileNames.h"
#include "system/FileRoutines.h"
#include "system/UniqueFd.h"

namespace {
constexpr std::chrono::milliseconds CommitEvery{500};

std::string WriteLine(const std::string& path) {
    return "Unable to write to '" + path + "'.";
}

std::string ReadLine(const std::string& path) {
    return "Unable to read from '" + path + "'.";
}

// The whole of from into to, from their starts: the kernel copies where it can.
bool CopyBytes(int from, int to) {
    for (;;) {
        const ssize_t copied = copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied == 0) {
            return true;
        }
        if (copied > 0) {
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            return false;
        }
        break;
    }
    std::vector<char> chunk(1 << 20);
    for (;;) {
        const ssize_t got = read(from, chunk.data(), chunk.size());
        if (got == 0) {
            return true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put =
                write(to, chunk.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno != EINTR) {
                return false;
            }
            done += put > 0 ? put : 0;
        }
    }
}

// A copy of from's bytes that takes the name to only when whole; replace: over what is there.
bool StageCopy(const std::string& from, const std::string& to, bool replace,
               const std::function<bool(const StagedOutput&)>& beforeCommit, std::string& line) {
    const UniqueFd source = OpenRegularFile(from);
    if (!source.Valid()) {
        line = ReadLine(from);
        return false;
    }
    StagedOutput staged(to);
    if (staged.Fd() < 0 || !CopyBytes(source.Get(), staged.Fd())) {
        line = WriteLine(to);
        return false;
    }
    const bool done =
        (!beforeCommit || beforeCommit(staged)) &&
        (replace ? staged.Replace() : staged.LinkIn() == StagedOutput::LinkResult::Linked);
    if (!done) {
        line = WriteLine(to);
    }
    return done;
}

bool MakeFolderOf(const std::string& path) {
    return CreateFolderPath(GetFolderPart(path));
}

// New outputs are linked in unsynced, one by one; the journal, in the mirror's folder, records
// them as finished only once the file system holding both has them on disk. A power cut never
// leaves a row that vouches for an output the disk lost, and the outputs of a batch are synced
// together rather than each on its own.
bool SyncFileSystemOf(const std::string& path) {
    const UniqueFd folder(open(GetFolderPart(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.Valid() && syncfs(folder.Get()) == 0;
}
} // namespace

MirrorWriter::MirrorWriter(MirrorPlan& plan, MirrorJournal& journal,
                           const ConversionSettings& settings)
    : plan_(plan), journal_(journal), settings_(settings) {}

bool MirrorWriter::Encodes(const MirrorItem& item) {
    switch (item.Action()) {
    case MirrorAction::Convert:
    case MirrorAction::Reconvert:
        return true;
    case MirrorAction::Rename:
        return item.verdict.reencode && !item.copied;
    default:
        return false;
    }
}

bool MirrorWriter::Writes(const MirrorItem& item) {
    return item.Action() != MirrorAction::Skip && item.Action() != MirrorAction::Keep;
}

bool MirrorWriter::Prepare() {
    MirrorJournal::Batch batch(journal_);
    bool stored = true;
    for (MirrorItem& item : plan_.Items()) {
        const MirrorVerdict& verdict = item.verdict;
        if (Writes(item) && item.Action() != MirrorAction::Delete) {
            MirrorRow row = item.row.value_or(MirrorRow{});
            row.root = item.root;
            row.source = item.source;
            row.output = item.output;
            row.pending = true;
            stored = journal_.Record(row) && stored;
        } else if (verdict.forget) {
            stored = journal_.RemoveOutput(item.output) && stored;
        } else if (verdict.adopt || verdict.refresh) {
            const std::optional<MirrorRow> row = FinishedRow(item);
            stored = row && journal_.Record(*row) && stored;
        }
    }
    if (!stored || !batch.Commit()) {
        return false;
    }
    Hold();
    return true;
}

// The row of an output in place: the source as it was decided, the output as it is; none when
// the output cannot be read.
std::optional<MirrorRow> MirrorWriter::FinishedRow(const MirrorItem& item) const {
    const std::string path = PathOf(item.output);
    const FileState output = FileState::Of(path);
    MirrorRow row;
    row.root = item.root;
    row.source = item.source;
    row.sourceSize = item.sourceState.size;
    row.sourceMtimeNs = item.sourceState.mtimeNs;
    // A copy's row has the audio's digest only where it costs no decoding: without it, a source
    // touched later is copied again, which costs less than decoding it now.
    row.audioDigest = item.copied ? item.digests->KnownAudio() : item.digests->Audio();
    row.tagsDigest = settings_.CopyTags ? item.digests->Tags() : std::optional<Digest>(Digest{});
    row.settings = item.settingsKey;
    row.output = item.output;
    row.outputSize = output.size;
    row.outputMtimeNs = output.mtimeNs;
    row.outputDigest = FileDigest(path);
    if (!output.Readable() || !row.outputDigest) {
        return std::nullopt;
    }
    return row;
}

bool MirrorWriter::Finish(const MirrorItem& item, std::string& line) {
    const std::optional<MirrorRow> row = FinishedRow(item);
    return Stored(row && journal_.Record(*row), line);
}

// Finished rows are committed together, a few times a second: each commit waits for the disk
// twice, which for small files would cost more than converting them. A run killed in between
// leaves those rows pending, and the next run adopts their outputs.
bool MirrorWriter::Stored(bool recorded, std::string& line) {
    if (recorded && held_ && std::chrono::steady_clock::now() - heldSince_ >= CommitEvery) {
        recorded = Flush();
        Hold();
    }
    if (!recorded) {
        line = WriteLine(journal_.Path());
    }
    return recorded;
}

void MirrorWriter::Hold() {
    if (!held_) {
        held_.emplace(journal_);
        heldSince_ = std::chrono::steady_clock::now();
    }
}

bool MirrorWriter::Flush() {
    const bool committed = !held_ || (SyncFileSystemOf(journal_.Path()) && held_->Commit());
    held_.reset();
    return committed;
}

bool MirrorWriter::Carry(MirrorItem& item, std::string& line) {
    switch (item.Action()) {
    case MirrorAction::Delete:
        return Delete(item, line);
    case MirrorAction::Copy:
        return Copy(item, line) && Finish(item, line);
    case MirrorAction::Retag:
        return Retag(item, line) && Finish(item, line);
    case MirrorAction::Rename:
        if (item.copied && item.verdict.reencode) {
            return Copy(item, line) && Finish(item, line) && Delete(item, line);
        }
        return Move(item, line) && (!item.verdict.retag || Retag(item, line)) && Finish(item, line);
    default:
        return true;
    }
}

bool MirrorWriter::Encoded(const MirrorItem& item, const RowValues& values, std::string& line) {
    // The conversion decoded the source: its digest is not taken a second time.
    if (const std::optional<Digest> digest = AudioDigestObserver::DigestIn(values)) {
        item.digests->Decoded(*digest);
    }
    if (!Finish(item, line)) {
        return false;
    }
    // The new name holds the output made again: the old one, as written, goes.
    return item.Action() != MirrorAction::Rename || Delete(item, line);
}

// The output the row names (a renamed item's old one); its row goes once the file has.
bool MirrorWriter::Delete(const MirrorItem& item, std::string& line) {
    const std::string output = item.Action() == MirrorAction::Rename ? item.oldOutput : item.output;
    const std::string path = PathOf(output);
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
        line = WriteLine(path);
        return false;
    }
    Vacated(output);
    // A renamed item's row has its new name by now.
    return item.Action() == MirrorAction::Rename || Stored(journal_.RemoveOutput(output), line);
}

bool MirrorWriter::Move(const MirrorItem& item, std::string& line) {
    const std::string to = PathOf(item.output);
    if (!MakeFolderOf(to) || renameat2(AT_FDCWD, PathOf(item.oldOutput).c_str(), AT_FDCWD,
                                       to.c_str(), RENAME_NOREPLACE) != 0) {
        line = WriteLine(to);
        return false;
    }
    Vacated(item.oldOutput);
    return true;
}

bool MirrorWriter::Copy(const MirrorItem& item, std::string& line) {
    const std::string to = PathOf(item.output);
    if (!MakeFolderOf(to)) {
        line = WriteLine(to);
        return false;
    }
    const bool replace = item.Action() == MirrorAction::Copy && FileState::Of(to).exists;
    return StageCopy(item.SourcePath(), to, replace, {}, line);
}

// The output's bytes with the source's tags written over them, audio untouched, in place of it
// only once whole.
bool MirrorWriter::Retag(const MirrorItem& item, std::string& line) {
    const std::string path = PathOf(item.output);
    const OutputTags tags(item.SourcePath(), settings_, Measured(item.SourcePath()));
    const std::string_view target = FindTargetFormat(settings_.TargetFormat)->Key;
    const auto rewrite = [&](const StagedOutput& staged) {
        if (!ClearTags(staged.Path(), target)) {
            return false;
        }
        tags.WriteTo(staged.Fd());
        return true;
    };
    return StageCopy(path, path, true, rewrite, line);
}

// What a conversion of the source measures on its way (its loudness, for ReplayGain), measured
// again for tags written without one; nothing, and no decoding, where the settings ask for none.
RowValues MirrorWriter::Measured(const std::string& source) const {
    const JobEnvironment& environment = plan_.Environment();
    const std::unique_ptr<AudioObserver> observer =
        environment.Observers ? environment.Observers(settings_, source) : nullptr;
    return observer ? DecodeObserved(source, environment, *observer).value_or(RowValues{})
                    : RowValues{};
}

void MirrorWriter::Vacated(const std::string& output) {
    vacated_.insert(std::filesystem::path(PathOf(output)).parent_path().string());
}

void MirrorWriter::RemoveEmptiedFolders() {
    const std::filesystem::path top = std::filesystem::path(plan_.Folder()).lexically_normal();
    // Deepest first: a folder emptied only by its emptied sub-folder goes after it.
    for (auto folder = vacated_.rbegin(); folder != vacated_.rend(); ++folder) {
        std::filesystem::path path = std::filesystem::path(*folder).lexically_normal();
        while (path.has_relative_path() && path != top && path.string().starts_with(top.string()) &&
               rmdir(path.c_str()) == 0) {
            path = path.parent_path();
        }
    }
}
