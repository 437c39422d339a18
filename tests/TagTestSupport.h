#pragma once
// Looking at the attached pictures of a file with mutagen, the tagging library we did not write,
// and making the files that carry them with lame, ffmpeg and mid3v2.
#include <algorithm>
#include <string>
#include <vector>

#include "CliTestSupport.h"

namespace tagtest {

// Each attached picture of an MP3, a WAVE (its ID3 chunk) or an ASF file, one a line in sorted
// order: "type|MIME type|description|bytes|md5 of the bytes". mutagen leaves an ASF picture as
// the attribute's bytes: type, size, MIME type and description in UTF-16, then the data.
inline std::string Pictures(const std::string& path) {
    static const char* const Script = R"(
import hashlib, struct, sys, mutagen, mutagen.asf
lines = []
def line(kind, mime, desc, data):
    lines.append("|".join([str(kind), mime, desc, str(len(data)), hashlib.md5(data).hexdigest()]))
def text(b):
    end = next(i for i in range(0, len(b), 2) if b[i:i + 2] == b"\0\0")
    return b[:end].decode("utf-16-le"), b[end + 2:]
f = mutagen.File(sys.argv[1])
if isinstance(f, mutagen.asf.ASF):
    for value in f.tags.get("WM/Picture", []):
        b = bytes(value)
        size = struct.unpack("<I", b[1:5])[0]
        mime, rest = text(b[5:])
        desc, rest = text(rest)
        line(b[0], mime, desc, rest[:size])
elif f.tags is not None:
    for p in f.tags.getall("APIC"):
        line(int(p.type), p.mime, p.desc, p.data)
print("\n".join(sorted(lines)))
)";
    return clitest::Shell("/usr/bin/python3 -c " + clitest::Quote(Script) + " " +
                          clitest::Quote(path));
}

struct PictureFile {
    int type;
    std::string mime;
    std::string description;
    std::string path;
};

// The line Pictures() gives for picture.
inline std::string PictureLine(const PictureFile& picture) {
    const std::string md5 = clitest::Shell("md5sum <" + clitest::Quote(picture.path));
    return std::to_string(picture.type) + "|" + picture.mime + "|" + picture.description + "|" +
           std::to_string(std::filesystem::file_size(picture.path)) + "|" +
           md5.substr(0, md5.find(' '));
}

// What Pictures() gives for a file that holds pictures.
inline std::string PictureLines(const std::vector<PictureFile>& pictures) {
    std::vector<std::string> sorted;
    for (const PictureFile& picture : pictures) {
        sorted.push_back(PictureLine(picture));
    }
    std::sort(sorted.begin(), sorted.end());
    std::string lines;
    for (const std::string& line : sorted) {
        lines += (lines.empty() ? "" : "\n") + line;
    }
    return lines;
}

// A still image of width x width noise pixels made by ffmpeg at path (PNG or JPEG by its name).
inline std::string Image(const std::string& path, int width) {
    const std::string size = std::to_string(width) + "x" + std::to_string(width);
    clitest::Shell("ffmpeg -v error -f lavfi -i 'nullsrc=s=" + size +
                   ",geq=r=random(1)*255:g=random(2)*255:b=random(3)*255' -frames:v 1 " +
                   clitest::Quote(path));
    return path;
}

// A one-second MP3 titled "Sunrise Song" made by lame in folder, with three pictures: lame's own
// (type "other", no description), then a front and a back cover added by mid3v2. Returns its path;
// pictures receives what it holds, in its order.
inline std::string SongWithThreePictures(const std::string& folder,
                                         std::vector<PictureFile>& pictures) {
    const std::string tone = clitest::SoxTone(folder + "/tone.wav", 1);
    pictures = {{0, "image/jpeg", "", Image(folder + "/other.jpg", 24)},
                {3, "image/png", "Front", Image(folder + "/front.png", 40)},
                {4, "image/png", "Bäck side", Image(folder + "/back.png", 32)}};
    const std::string song = folder + "/song.mp3";
    clitest::Shell("lame --quiet -b 128 --tt 'Sunrise Song' --ta 'The Testers' --ti " +
                   clitest::Quote(pictures[0].path) + " " + clitest::Quote(tone) + " " +
                   clitest::Quote(song));
    for (size_t i = 1; i < pictures.size(); ++i) {
        const PictureFile& p = pictures[i];
        clitest::Shell("mid3v2 -p " +
                       clitest::Quote(p.path + ":" + p.description + ":" + std::to_string(p.type) +
                                      ":" + p.mime) +
                       " " + clitest::Quote(song));
    }
    return song;
}

} // namespace tagtest
