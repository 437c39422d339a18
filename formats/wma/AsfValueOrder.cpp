#include "formats/wma/AsfValueOrder.h"

#include <algorithm>
#include <map>
#include <vector>

#include <taglib/asftag.h>
#include <taglib/tiostream.h>

using namespace TagLib;

namespace {
// The objects' GUIDs, as stored.
const ByteVector
    HeaderExtensionGuid("\xB5\x03\xBF\x5F\x2E\xA9\xCF\x11\x8E\xE3\x00\xC0\x0C\x20\x53\x65", 16);
const ByteVector ExtendedContentDescriptionGuid(
    "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
// The Header Object: GUID, size, object count, two reserved bytes. Each object within it begins
// with its GUID and size.
constexpr long long HeaderBytes = 30;
constexpr unsigned int ObjectHeadBytes = 24;

// A descriptor's name as TagLib reads it: UTF-16LE without its closing zeros.
String NameOf(ByteVector bytes) {
    while (bytes.size() >= 2 && bytes.endsWith(ByteVector(2, '\0')))
        bytes.resize(bytes.size() - 2);
    return String(bytes, String::UTF16LE);
}

// How many values of each name the Extended Content Description object holds, from its count of
// descriptors on: each is a name, a value type and a value, with 16-bit lengths.
std::map<String, unsigned int> NamesOfDescriptors(IOStream& stream) {
    std::map<String, unsigned int> names;
    const ByteVector count = stream.readBlock(2);
    const unsigned int descriptors = count.size() == 2 ? count.toUShort(false) : 0;
    for (unsigned int i = 0; i < descriptors; ++i) {
        const ByteVector nameLength = stream.readBlock(2);
        if (nameLength.size() != 2)
            break;
        const ByteVector name = stream.readBlock(nameLength.toUShort(false));
        const ByteVector value = stream.readBlock(4);
        if (value.size() != 4)
            break;
        ++names[NameOf(name)];
        stream.seek(value.toUShort(2, false), IOStream::Current);
    }
    return names;
}

// The names of an Extended Content Description object that follows the Header Extension object.
std::map<String, unsigned int> NamesListedLast(IOStream& stream) {
    stream.seek(16);
    const ByteVector header = stream.readBlock(12);
    if (header.size() != 12)
        return {};
    const long long end = header.toLongLong(0, false);
    const unsigned int objects = header.toUInt(8, false);
    bool extensionSeen = false;
    long long at = HeaderBytes;
    for (unsigned int i = 0; i < objects && at + ObjectHeadBytes <= end; ++i) {
        stream.seek(at);
        const ByteVector object = stream.readBlock(ObjectHeadBytes);
        const long long size = object.size() == ObjectHeadBytes ? object.toLongLong(16, false) : 0;
        if (size < ObjectHeadBytes || size > end - at)
            break;
        if (object.startsWith(HeaderExtensionGuid))
            extensionSeen = true;
        else if (object.startsWith(ExtendedContentDescriptionGuid) && extensionSeen)
            return NamesOfDescriptors(stream);
        at += size;
    }
    return {};
}
} // namespace

void RestoreAsfValueOrder(ASF::Tag& tag, IOStream& stream) {
    for (const auto& [name, count] : NamesListedLast(stream)) {
        if (!tag.contains(name))
            continue;
        const ASF::AttributeList read = tag.attribute(name);
        std::vector<ASF::Attribute> values(read.begin(), read.end());
        const auto firsts = values.end() - std::min<std::size_t>(count, values.size());
        std::rotate(values.begin(), firsts, values.end());
        ASF::AttributeList ordered;
        for (const ASF::Attribute& value : values)
            ordered.append(value);
        tag.setAttribute(name, ordered);
    }
}
