#include "tags/ReadAudioTags.h"

#include <taglib/tbytevector.h>
#include <taglib/tiostream.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "catalog/FormatTable.h"
#include "system/UniqueFd.h"
#include "tags/CheckedFileStream.h"
#include "tags/NumberPairs.h"
#include "tags/TagFormat.h"

const TagFormat* FindTagFormat(TagLib::IOStream& stream) {
    stream.seek(0);
    const TagLib::ByteVector head = stream.readBlock(TagFormat::HeadBytes);
    stream.seek(0);
    const TagFormat* unclaimed = nullptr;
    for (const FormatInfo& format : Formats()) {
        const TagFormat* tags = format.Tags;
        if (tags && tags->Claims && tags->Claims(head)) {
            return tags;
        }
        if (tags && !tags->Claims && !unclaimed) {
            unclaimed = tags;
        }
    }
    return unclaimed;
}

AudioTags ReadAudioTags(TagLib::IOStream& stream) {
    const TagFormat* format = FindTagFormat(stream);
    AudioTags tags = format ? format->Read(stream) : AudioTags{};
    SplitNumberPairs(tags.fields); // one form, whichever the format's
    return tags;
}

AudioTags ReadAudioTagsOfFile(const std::string& path) {
    // Only a regular file, and the open never waits (a FIFO put in the input's place would).
    const UniqueFd file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (!file.Valid() || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {};
    }
    CheckedFileStream stream(file.Get(), path, true);
    return ReadAudioTags(stream);
}
