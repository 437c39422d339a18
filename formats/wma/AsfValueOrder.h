#pragma once
// ASF keeps an attribute's first value in the Extended Content Description object, beside the
// other fields, and its further values (and any over 64 KB) in the Metadata Library object,
// inside the Header Extension object; TagLib and others write several pictures so. TagLib 1.13
// reads the objects in the order the file holds them, and most files (FFmpeg's among them) hold
// the Header Extension first: the first value comes back last.
namespace TagLib {
class IOStream;
namespace ASF {
class Tag;
}
} // namespace TagLib

// Puts first again the values that tag, TagLib's reading of stream, took from an Extended
// Content Description object after the Header Extension object; the header is walked once more
// for the names that object holds. A header that cannot be walked leaves tag as it is.
void RestoreAsfValueOrder(TagLib::ASF::Tag& tag, TagLib::IOStream& stream);
