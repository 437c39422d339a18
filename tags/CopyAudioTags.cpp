#include "tags/CopyAudioTags.h"

#include "tags/CheckedFileStream.h"
#include "tags/ReadAudioTags.h"
#include "tags/TagScratchFile.h"
#include "tags/WriteAudioTags.h"

bool CopyAudioTags(const std::string& input, const std::string& output, AudioFileKind outputKind) {
    const AudioTags tags = ReadAudioTagsOfFile(input);
    if (tags.Empty()) {
        return false;
    }
    TagScratchFile copy(output);
    if (!copy.Valid()) {
        return false;
    }
    CheckedFileStream stream(copy.Fd(), copy.Name());
    if (!WriteAudioTags(stream, outputKind, tags) || stream.Failed()) {
        return false;
    }
    return copy.ReplaceOutput();
}
