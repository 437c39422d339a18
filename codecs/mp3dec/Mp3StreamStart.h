#pragma once
// Where the frames of an MPEG audio file begin. A real stream begins, after its ID3v2 tags and
// at most some zero padding and a little junk, with frames that follow one another exactly. Data
// of another kind under an .mp3 name holds only chance frame headers here and there, which a
// decoder resynchronising through it would turn into noise.
#include <sys/types.h>

class Mp3StreamStart {
public:
    // The offset of the first frame when fd's file begins as an MPEG audio stream, else -1.
    // Leaves fd's file offset at 0.
    static off_t Find(int fd);

private:
    static off_t AfterId3v2Tags(int fd);
    // The offset of the first of a run of frames, found the way the decoder finds its first.
    static off_t FirstFrameOfRun(int fd);
    // Whether the bytes from..to are padding: zeros, and at most a little junk.
    static bool IsPadding(int fd, off_t from, off_t to);
};
