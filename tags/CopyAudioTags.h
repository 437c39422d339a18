#pragma once
// Carries the tags of an input over to its finished output, written as its tag family writes
// them, in place: no second file is made, and the file needs no name.
//
// TagLib's whole save is first made against a view of the file (TagEditStream), and only a save
// that succeeded is then written into the file (FileRearrangement): room for the larger file is
// allocated before any byte is overwritten, and a write that fails after that is undone.
//
// Best effort: true when the tags were written, the audio unchanged. False when there was nothing
// to write (no tags), or they could not be written (a descriptor not open read-write, a file
// TagLib refuses, no room on the disk, a file size limit, a read or write error): the file then
// holds exactly the bytes it held before. The one exception is a storage that fails both while
// the bytes are moved and while they are moved back (an I/O error twice, or a copy-on-write file
// system that cannot even overwrite in place); the file may then be damaged, as any file written
// to such a storage may be.
#include <string>

#include "tags/AudioTags.h"

struct TagFormat;

// outputFd stays the caller's; it must be open read-write (an unnamed O_TMPFILE file serves).
bool CopyAudioTags(const AudioTags& tags, int outputFd, const TagFormat& outputFormat);
