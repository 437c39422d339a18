#include "mirror/MirrorDecision.h"

#include <cstring>

namespace {
constexpr std::string_view ActionWords[] = {"convert", "retag",  "reconvert", "rename",
                                            "copy",    "delete", "keep",      "skip"};

constexpr std::string_view ChangedByUser = "changed since the mirror wrote it";
constexpr std::string_view NotOurs = "not written by the mirror";
constexpr std::string_view NotFromSource = "already there, and not made from its source";
constexpr std::string_view RootMissing = "its source folder is missing";
constexpr std::string_view FutureTime =
    "its source's modification time is in the future: compared by content";

MirrorVerdict Verdict(MirrorAction action, std::string_view reason = {}) {
    MirrorVerdict verdict;
    verdict.action = action;
    verdict.reason = reason;
    return verdict;
}

template <class Query> bool Equal(const Query& query, const std::optional<Digest>& recorded) {
    if (!query || !recorded) {
        return false;
    }
    const std::optional<Digest> now = query();
    return now && *now == *recorded;
}

// The output holds what was written: by size and time, or with byContent by its digest alone.
bool AsWritten(const MirrorFacts& f, bool byContent) {
    const MirrorRow& row = *f.row;
    if (!f.output.Readable()) {
        return false;
    }
    if (!byContent && f.output.size == row.outputSize && f.output.mtimeNs == row.outputMtimeNs) {
        return true;
    }
    return Equal(f.outputDigest, row.outputDigest);
}

MirrorAction Remake(const MirrorFacts& f) {
    return CopiedAsIs(f) ? MirrorAction::Copy : MirrorAction::Convert;
}

// A pending row is the earlier run's row kept while the output was being made again: an output
// still exactly as that row has it was not touched, and the row still tells the truth about it.
bool Finished(const MirrorFacts& f) {
    if (!f.row || !f.row->pending) {
        return f.row != nullptr;
    }
    return f.row->outputDigest && f.output.Readable() && f.output.size == f.row->outputSize &&
           f.output.mtimeNs == f.row->outputMtimeNs;
}

// An output in the journal whose source is gone: deleted only as it was written.
MirrorVerdict Orphan(const MirrorFacts& f) {
    if (!Finished(f) || !f.journalTrusted) {
        return f.output.Gone() ? Verdict(MirrorAction::Skip) : Verdict(MirrorAction::Keep, NotOurs);
    }
    if (f.output.Gone()) {
        MirrorVerdict verdict = Verdict(MirrorAction::Skip);
        verdict.forget = true;
        return verdict;
    }
    return AsWritten(f, true) ? Verdict(MirrorAction::Delete)
                              : Verdict(MirrorAction::Keep, ChangedByUser);
}

// A source without a finished row: made, or an output found in its place adopted.
MirrorVerdict Unrecorded(const MirrorFacts& f) {
    if (f.output.Gone()) {
        return Verdict(Remake(f));
    }
    const bool mayAdopt = !f.journalTrusted || (f.row && f.row->pending);
    if (mayAdopt && f.output.Readable() && f.outputMatchesSource && f.outputMatchesSource()) {
        MirrorVerdict verdict = Verdict(MirrorAction::Skip);
        verdict.adopt = true;
        return verdict;
    }
    return Verdict(MirrorAction::Keep, mayAdopt ? NotFromSource : NotOurs);
}

MirrorVerdict Recorded(const MirrorFacts& f) {
    const MirrorRow& row = *f.row;
    if (f.output.Gone()) {
        return Verdict(Remake(f));
    }
    if (!AsWritten(f, false)) {
        return Verdict(MirrorAction::Keep, ChangedByUser);
    }
    // A time in the future may yet be given to a later edit: size and time prove nothing.
    const bool future = f.source.mtimeNs > f.nowNs;
    const bool sourceSame =
        !future && f.source.size == row.sourceSize && f.source.mtimeNs == row.sourceMtimeNs;
    const bool audioSame = sourceSame || Equal(f.audioDigest, row.audioDigest);
    const bool tagsSame = sourceSame || (audioSame && Equal(f.tagsDigest, row.tagsDigest));
    const bool contentSame = audioSame && row.settings == f.settingsKey;
    MirrorVerdict verdict;
    verdict.reason = future ? FutureTime : std::string_view();
    if (row.output != f.outputName) {
        if (!f.atNewName.Gone()) {
            return Verdict(MirrorAction::Keep, "'" + f.outputName + "' is in the way");
        }
        verdict.action = MirrorAction::Rename;
        verdict.reencode = !contentSame || (CopiedAsIs(f) && !tagsSame);
        verdict.retag = !tagsSame && !verdict.reencode;
    } else if (contentSame && tagsSame) {
        verdict.action = MirrorAction::Skip;
        verdict.refresh = !sourceSame;
    } else if (CopiedAsIs(f)) {
        verdict.action = MirrorAction::Copy;
    } else {
        verdict.action = contentSame ? MirrorAction::Retag : MirrorAction::Reconvert;
    }
    return verdict;
}
} // namespace

std::string_view MirrorActionWord(MirrorAction action) {
    return ActionWords[static_cast<std::size_t>(action)];
}

bool CopiedAsIs(const MirrorFacts& f) {
    return f.extra || (f.copySame && f.sourceIsTargetFormat) ||
           (f.copyLossy && f.sourceLossy && f.targetLossy);
}

MirrorVerdict DecideMirror(const MirrorFacts& f) {
    if (!f.rootPresent) {
        return f.row ? Verdict(MirrorAction::Keep, RootMissing) : Verdict(MirrorAction::Skip);
    }
    if (f.source.exists && !f.source.Readable()) {
        // A loop of links, a folder or a device where the source was: not a source that is gone.
        const std::string reason =
            "its source cannot be read" +
            (f.source.error ? " (" + std::string(std::strerror(f.source.error)) + ")" : "");
        return Verdict(f.output.Gone() ? MirrorAction::Skip : MirrorAction::Keep, reason);
    }
    if (f.source.Gone()) {
        return Orphan(f);
    }
    return Finished(f) ? Recorded(f) : Unrecorded(f);
}
