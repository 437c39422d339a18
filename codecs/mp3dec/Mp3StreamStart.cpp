#include "codecs/mp3dec/Mp3StreamStart.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "codecs/mp3dec/Mpg123Handle.h"

namespace {
// Frames in a row that make a stream: a chance header in other data is seldom followed by
// another exactly where its length ends, hardly ever by three more.
constexpr int RunLength = 4;
// Bytes other than zeros tolerated before the first frame: a wrapper's header, a stray ID3v1
// tag. Tables in other kinds of data chain as frames a few hundred bytes in.
constexpr off_t MaxJunk = 128;

// Whether two frames can belong to one stream; the stereo mode may change (an Info frame is
// often plain stereo before joint stereo frames), mono does not.
bool SameStream(const mpg123_frameinfo2& a, const mpg123_frameinfo2& b) {
    return a.version == b.version && a.layer == b.layer && a.rate == b.rate &&
           (a.mode == MPG123_M_MONO) == (b.mode == MPG123_M_MONO);
}
} // namespace

off_t Mp3StreamStart::Find(int fd) {
    const off_t tagsEnd = AfterId3v2Tags(fd);
    const off_t first = FirstFrameOfRun(fd);
    lseek(fd, 0, SEEK_SET);
    if (first < 0 || (first > tagsEnd && !IsPadding(fd, tagsEnd, first)))
        return -1;
    return first;
}

off_t Mp3StreamStart::AfterId3v2Tags(int fd) {
    off_t at = 0;
    for (uint8_t head[10];
         pread(fd, head, sizeof head, at) == sizeof head && std::memcmp(head, "ID3", 3) == 0;) {
        at += 10 + ((head[6] & 0x7F) << 21 | (head[7] & 0x7F) << 14 | (head[8] & 0x7F) << 7 |
                    (head[9] & 0x7F));
        if (head[5] & 0x10)
            at += 10; // footer
    }
    return at;
}

off_t Mp3StreamStart::FirstFrameOfRun(int fd) {
    int error = MPG123_OK;
    Mpg123Ptr handle(mpg123_new(nullptr, &error));
    // Only the frames themselves count: the Info frame as one of them, and no resynchronising.
    if (!handle || error != MPG123_OK ||
        mpg123_param(handle.get(), MPG123_ADD_FLAGS,
                     MPG123_QUIET | MPG123_SKIP_ID3V2 | MPG123_IGNORE_INFOFRAME | MPG123_NO_RESYNC,
                     0.0) != MPG123_OK ||
        lseek(fd, 0, SEEK_SET) != 0 || mpg123_open_fd(handle.get(), fd) != MPG123_OK)
        return -1;
    off_t first = -1;
    off_t next = 0;
    mpg123_frameinfo2 firstInfo{};
    for (int frames = 0; frames < RunLength; ++frames) {
        const int result = mpg123_framebyframe_next(handle.get());
        // A stream of fewer frames than the run, or cut short within it, still begins as one.
        if (result == MPG123_DONE && frames > 0)
            break;
        mpg123_frameinfo2 info{};
        if ((result != MPG123_OK && result != MPG123_NEW_FORMAT) ||
            mpg123_info2(handle.get(), &info) != MPG123_OK)
            return -1;
        const off_t at = mpg123_framepos(handle.get());
        if (frames == 0) {
            first = at;
            firstInfo = info;
        } else if (at != next || !SameStream(firstInfo, info)) {
            return -1;
        }
        next = at + info.framesize;
    }
    return first;
}

bool Mp3StreamStart::IsPadding(int fd, off_t from, off_t to) {
    off_t junk = 0;
    uint8_t block[4096];
    while (from < to) {
        const ssize_t got =
            pread(fd, block, static_cast<size_t>(std::min<off_t>(sizeof block, to - from)), from);
        if (got <= 0)
            return false;
        for (ssize_t i = 0; i < got; ++i)
            junk += block[i] != 0;
        from += got;
    }
    return junk <= MaxJunk;
}
