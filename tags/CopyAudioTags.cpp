#include "tags/CopyAudioTags.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "tags/CheckedFileStream.h"
#include "tags/FileRearrangement.h"
#include "tags/TagEditStream.h"
#include "tags/TagFormat.h"

bool CopyAudioTags(const AudioTags& tags, int outputFd, const TagFormat& outputFormat) {
    struct stat status {};
    if (tags.Empty() || fstat(outputFd, &status) != 0 || !S_ISREG(status.st_mode) ||
        (fcntl(outputFd, F_GETFL) & O_ACCMODE) != O_RDWR) {
        return false;
    }
    CheckedFileStream file(outputFd, "output");
    TagEditStream edited(file);
    return outputFormat.Write(edited, tags) && !edited.Failed() &&
           FileRearrangement(file, edited.Pieces()).Apply();
}
