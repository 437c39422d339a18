#include "tags/CopyAudioTags.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

#include <taglib/tbytevectorstream.h>

#include "system/UniqueFd.h"
#include "tags/CheckedFileStream.h"
#include "tags/ReadAudioTags.h"
#include "tags/TagScratchFile.h"
#include "tags/WriteAudioTags.h"

using TagLib::ByteVector;

namespace {
// Outputs up to this size are tagged as an image in memory and written back in place, which
// costs no second file; larger ones are tagged on a copy beside them, which keeps memory flat.
constexpr off_t MaxImageBytes = 8 << 20;

// Writes tagged over the file that holds original. The file grows first, so that a full disk or
// a size limit is met before any old byte is overwritten; should anything fail, the original
// bytes go back. Nothing here allocates between the first write and the last.
bool WriteBack(int fd, const std::string& name, const ByteVector& original,
               const ByteVector& tagged) {
    const unsigned int kept = std::min(original.size(), tagged.size());
    CheckedFileStream file(fd, name);
    CheckedFileStream undo(fd, name);
    if (file.WriteAt(kept, tagged.data() + kept, tagged.size() - kept) &&
        file.WriteAt(0, tagged.data(), kept)) {
        if (tagged.size() < original.size()) {
            file.truncate(tagged.size());
        }
        if (!file.Failed()) {
            return true;
        }
    }
    undo.WriteAt(0, original.data(), original.size());
    undo.truncate(original.size());
    return false;
}

bool TagImage(int fd, const std::string& output, off_t size, AudioFileKind kind,
              const AudioTags& tags) {
    CheckedFileStream file(fd, output);
    const ByteVector original = file.readBlock(static_cast<unsigned long>(size));
    if (file.Failed() || original.size() != size) {
        return false;
    }
    TagLib::ByteVectorStream image(original);
    return WriteAudioTags(image, kind, tags) && WriteBack(fd, output, original, *image.data());
}

bool TagCopy(int fd, const std::string& output, AudioFileKind kind, const AudioTags& tags) {
    TagScratchFile copy(output, fd);
    if (!copy.Valid()) {
        return false;
    }
    CheckedFileStream stream(copy.Fd(), copy.Name());
    return WriteAudioTags(stream, kind, tags) && !stream.Failed() && copy.ReplaceOutput();
}
} // namespace

bool CopyAudioTags(const std::string& input, const std::string& output, AudioFileKind outputKind) {
    return CopyAudioTags(ReadAudioTagsOfFile(input), output, outputKind);
}

bool CopyAudioTags(const AudioTags& tags, const std::string& output, AudioFileKind outputKind) {
    if (tags.Empty()) {
        return false;
    }
    // An output that cannot be written stays as it is.
    const UniqueFd file(open(output.c_str(), O_RDWR | O_CLOEXEC));
    struct stat status {};
    if (!file.Valid() || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    if (status.st_size <= MaxImageBytes) {
        return TagImage(file.Get(), output, status.st_size, outputKind, tags);
    }
    return TagCopy(file.Get(), output, outputKind, tags);
}
