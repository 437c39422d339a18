#pragma once
// One stretch of a file as edits leave it: either bytes the file holds now, or new bytes.
#include <sys/types.h>

#include <taglib/tbytevector.h>

struct FilePiece {
    off_t size = 0;
    // Where the piece starts in the file, or in bytes.
    off_t from = 0;
    // Empty for a piece of the file itself.
    TagLib::ByteVector bytes;

    bool InFile() const { return bytes.isEmpty(); }
};
