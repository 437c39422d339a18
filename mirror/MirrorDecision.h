#pragma once
// What a mirror run does with one source (or with one output whose source is gone), decided
// before anything is written, from the journal's row, the source and the output as they are now,
// and the run's settings. Nothing here touches a file: the digests are asked for through the
// functions given, and only when size and time do not settle the question.
//
// Never deleted: an output the journal does not hold, one whose content is no longer what was
// written, one whose source cannot be looked at or whose source folder is missing, and any
// output at all while the journal is not trusted (missing or rebuilt).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "mirror/Digest.h"
#include "mirror/FileState.h"
#include "mirror/MirrorRow.h"

enum class MirrorAction : uint8_t { Convert, Retag, Reconvert, Rename, Copy, Delete, Keep, Skip };

// The word --list shows for it: "convert", "retag", ...
std::string_view MirrorActionWord(MirrorAction action);

using DigestQuery = std::function<std::optional<Digest>()>;

struct MirrorFacts {
    // The journal's row of this source, or of the output whose source is gone; null: none.
    const MirrorRow* row = nullptr;
    // False for a journal just made or rebuilt: outputs found are adopted, none is deleted.
    bool journalTrusted = true;
    // The source folder is there: an unmounted disk must not read as every source gone.
    bool rootPresent = true;
    FileState source;
    int64_t nowNs = 0;
    DigestQuery audioDigest;
    DigestQuery tagsDigest;
    // What the output is made with, and named (relative to the mirror's folder), now.
    std::string settingsKey;
    std::string outputName;
    // The output at the row's name, or without a row at the name now.
    FileState output;
    DigestQuery outputDigest;
    // What stands at the name now, where the row's name differs.
    FileState atNewName;
    // For an output found without a finished row: it decodes to the source's length.
    std::function<bool()> outputMatchesSource;

    // The run's copy rules and what the source is.
    bool copySame = false;
    bool copyLossy = false;
    bool sourceIsTargetFormat = false;
    bool sourceLossy = false;
    bool targetLossy = false;
    // A non-audio file mirrored beside the outputs: always copied.
    bool extra = false;
};

struct MirrorVerdict {
    MirrorAction action = MirrorAction::Skip;
    // Why an output is kept, or what was noticed on the way; empty when nothing.
    std::string reason;
    // A rename whose output is made again, or whose tags are written again.
    bool reencode = false;
    bool retag = false;
    // A skip of an output found in place: the journal records it as it is.
    bool adopt = false;
    // The source changed only in size or time: its row is stored again with them.
    bool refresh = false;
    // The output is gone already: its row goes.
    bool forget = false;
};

MirrorVerdict DecideMirror(const MirrorFacts& facts);
// The source is copied byte for byte rather than converted.
bool CopiedAsIs(const MirrorFacts& facts);
