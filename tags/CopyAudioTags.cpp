#include "tags/CopyAudioTags.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "system/UniqueFd.h"
#include "tags/CheckedFileStream.h"
#include "tags/FileRearrangement.h"
#include "tags/TagEditStream.h"
#include "tags/WriteAudioTags.h"

bool CopyAudioTags(const AudioTags& tags, int outputFd, AudioFileKind outputKind) {
    struct stat status {};
    if (tags.Empty() || fstat(outputFd, &status) != 0 || !S_ISREG(status.st_mode) ||
        (fcntl(outputFd, F_GETFL) & O_ACCMODE) != O_RDWR) {
        return false;
    }
    CheckedFileStream file(outputFd, "output");
    TagEditStream edited(file);
    return WriteAudioTags(edited, outputKind, tags) && !edited.Failed() &&
           FileRearrangement(file, edited.Pieces()).Apply();
}

bool CopyAudioTags(const AudioTags& tags, const std::string& output, AudioFileKind outputKind) {
    // O_NONBLOCK: something other than a regular file at that name must not hold us up.
    const UniqueFd file(open(output.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    return file.Valid() && CopyAudioTags(tags, file.Get(), outputKind);
}
