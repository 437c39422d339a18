#pragma once
// Looking at the attached pictures of a file with mutagen, the tagging library we did not write,
// and making the files that carry them with ffmpeg.
#include <string>
#include <vector>

#include "CliTestSupport.h"

namespace tagtest {

// Each attached picture of an MP3, a WAVE (its ID3 chunk), an ASF, a FLAC or an Ogg file, one a
// line in the file's order: "type|MIME type|description|bytes|md5 of the bytes". mutagen leaves an
// ASF picture as the attribute's bytes: type, size, MIME type and description in UTF-16, then the
// data; it lists ASF values as the format lists them, the one beside the other fields first.
inline std::string Pictures(const std::string& path) {
    static const char* const Script = R"(
import base64, hashlib, struct, sys, mutagen, mutagen.asf, mutagen.flac
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
elif isinstance(f, mutagen.flac.FLAC):
    for p in f.pictures:
        line(p.type, p.mime, p.desc, p.data)
elif f.tags is not None and hasattr(f.tags, "getall"):
    for p in f.tags.getall("APIC"):
        line(int(p.type), p.mime, p.desc, p.data)
elif f.tags is not None:
    for value in f.tags.get("metadata_block_picture", []):
        p = mutagen.flac.Picture(base64.b64decode(value))
        line(p.type, p.mime, p.desc, p.data)
print("\n".join(lines))
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

// What Pictures() gives for a file that holds pictures in this order.
inline std::string PictureLines(const std::vector<PictureFile>& pictures) {
    std::string lines;
    for (const PictureFile& picture : pictures) {
        lines += (lines.empty() ? "" : "\n") + PictureLine(picture);
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

// A one-second MP3 titled "Sunrise Song" made by ffmpeg in folder, with three pictures in an
// order that is neither that of their types nor that of their sizes: a JPEG of the type "other"
// without a description, then a front and a back cover. Returns its path; pictures receives what
// it holds, in its order.
inline std::string SongWithThreePictures(const std::string& folder,
                                         std::vector<PictureFile>& pictures) {
    const std::string tone = clitest::SoxTone(folder + "/tone.wav", 1);
    pictures = {{0, "image/jpeg", "", Image(folder + "/other.jpg", 24)},
                {3, "image/png", "Front", Image(folder + "/front.png", 40)},
                {4, "image/png", "Bäck side", Image(folder + "/back.png", 32)}};
    // ffmpeg takes a picture's type from its stream's comment, its description from the title.
    const char* const types[] = {"Other", "Cover (front)", "Cover (back)"};
    std::string inputs, streams;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const std::string stream = std::to_string(i + 1);
        inputs += " -i " + clitest::Quote(pictures[i].path);
        streams += " -map " + stream + " -metadata:s:" + stream +
                   " comment=" + clitest::Quote(types[i]) + " -metadata:s:" + stream +
                   " title=" + clitest::Quote(pictures[i].description);
    }
    const std::string song = folder + "/song.mp3";
    clitest::Shell("ffmpeg -v error -i " + clitest::Quote(tone) + inputs + " -map 0" + streams +
                   " -c:a libmp3lame -b:a 128k -c:v copy -metadata title='Sunrise Song' "
                   "-metadata artist='The Testers' " +
                   clitest::Quote(song));
    return song;
}

} // namespace tagtest
