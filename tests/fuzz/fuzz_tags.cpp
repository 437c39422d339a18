// Feeds arbitrary bytes, as a file, to the tag reader, and writes whatever it finds into small
// clean WAVE and MP3 files, the way tags reach the outputs of a conversion: in memory, and in
// place into a file, which must come out the same.
#include <bit>
#include <cstdint>
#include <cstring>

#include <sys/mman.h>
#include <taglib/tbytevectorstream.h>
#include <unistd.h>

#include "formats/mp3/Mp3Tags.h"
#include "formats/wave/WaveTags.h"
#include "tags/CheckedFileStream.h"
#include "tags/FileRearrangement.h"
#include "tags/ReadAudioTags.h"
#include "tags/TagEditStream.h"

namespace {

void PutU32(char* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<char>(value >> (8 * i));
    }
}

// 16-bit mono PCM at 8000 Hz, 100 samples of silence.
TagLib::ByteVector CleanWave() {
    TagLib::ByteVector file(44 + 200, '\0');
    char* p = file.data();
    std::memcpy(p, "RIFF", 4), PutU32(p + 4, 36 + 200), std::memcpy(p + 8, "WAVEfmt ", 8);
    PutU32(p + 16, 16), PutU32(p + 20, 1 | 1 << 16), PutU32(p + 24, 8000), PutU32(p + 28, 16000);
    PutU32(p + 32, 2 | 16 << 16), std::memcpy(p + 36, "data", 4), PutU32(p + 40, 200);
    return file;
}

// Four MPEG-1 layer III frames of 128 kbit/s at 44100 Hz, their bodies zero.
TagLib::ByteVector CleanMp3() {
    constexpr unsigned FrameBytes = 417;
    TagLib::ByteVector file(4 * FrameBytes, '\0');
    for (unsigned i = 0; i < 4; ++i) {
        std::memcpy(file.data() + i * FrameBytes, "\xFF\xFB\x90\x64", 4);
    }
    return file;
}

// TagLib is not instrumented; these loops turn what the reader found into counts the fuzzer sees.
void Feedback(const AudioTags& tags) {
    static volatile unsigned sink;
    for (unsigned i = 0; i < tags.fields.size() + tags.freeFields.size(); ++i)
        sink = sink + 1;
    for (const AudioTags::Picture& picture : tags.pictures) {
        for (unsigned i = 0; i < std::bit_width(picture.data.size()) + picture.type; ++i)
            sink = sink + 1;
    }
    if (tags.id3v1)
        sink = sink + 1;
}

// The bytes of the file open at fd.
TagLib::ByteVector Content(int fd) {
    TagLib::ByteVector bytes(static_cast<unsigned int>(lseek(fd, 0, SEEK_END)));
    if (pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        __builtin_trap();
    return bytes;
}

// Tags that were read, and so bounded, always fit into a clean file; written in place into a
// file, they give the bytes TagLib's own stream gives in memory.
void WriteInto(const TagLib::ByteVector& clean, const TagFormat& kind, const AudioTags& tags) {
    TagLib::ByteVectorStream memory(clean);
    if (!kind.Write(memory, tags))
        __builtin_trap();
    static const int fd = memfd_create("fuzz_tags", MFD_CLOEXEC);
    if (ftruncate(fd, 0) != 0 ||
        pwrite(fd, clean.data(), clean.size(), 0) != static_cast<ssize_t>(clean.size()))
        __builtin_trap();
    CheckedFileStream file(fd, "file");
    TagEditStream edited(file);
    if (!kind.Write(edited, tags) || edited.Failed() ||
        !FileRearrangement(file, edited.Pieces()).Apply() || Content(fd) != *memory.data())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TagLib::ByteVector bytes(reinterpret_cast<const char*>(data),
                                   static_cast<unsigned int>(size));
    TagLib::ByteVectorStream input(bytes);
    const AudioTags tags = ReadAudioTags(input);
    Feedback(tags);
    if (!tags.Empty()) {
        static const TagLib::ByteVector wave = CleanWave();
        static const TagLib::ByteVector mp3 = CleanMp3();
        WriteInto(wave, WaveTags, tags);
        WriteInto(mp3, Mp3Tags, tags);
    }
    return 0;
}
