#include "cue/CueText.h"

#include <cerrno>
#include <iconv.h>
#include <memory>
#include <uchardet.h>

#include "engine/Utf8Text.h"

namespace {
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = DecodeUtf8(text, at).length;
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string_view WithoutMark(std::string_view text) {
    return text.starts_with(ByteOrderMark) ? text.substr(ByteOrderMark.size()) : text;
}

struct FreeDetector {
    void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

// The character set uchardet finds in bytes; empty when it finds none.
std::string Detect(std::string_view bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, FreeDetector> detector(uchardet_new());
    if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) {
        return {};
    }
    uchardet_data_end(detector.get());
    const char* name = uchardet_get_charset(detector.get());
    return name != nullptr ? name : "";
}

struct Converter {
    explicit Converter(const std::string& from) : handle(iconv_open("UTF-8", from.c_str())) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (Opened()) {
            iconv_close(handle);
        }
    }
    bool Opened() const { return handle != reinterpret_cast<iconv_t>(-1); }

    iconv_t handle;
};
} // namespace

CueText::CueText(std::string_view bytes, const std::string& charset) {
    if (charset.empty() && IsUtf8(bytes)) {
        text_ = WithoutMark(bytes);
        return;
    }
    const std::string from = charset.empty() ? Detect(bytes) : charset;
    if (from.empty()) {
        cause_ = "the character set of its text is not known";
        return;
    }
    Convert(bytes, from);
}

void CueText::Convert(std::string_view bytes, const std::string& charset) {
    const Converter converter(charset);
    if (!converter.Opened()) {
        cause_ = "'" + charset + "' is no character set known here";
        return;
    }
    // iconv takes a non-const input pointer, though it never writes through it.
    std::string input(bytes);
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::string output(input.size() * 4 + 4, '\0');
    char* out = output.data();
    std::size_t outLeft = output.size();
    if (iconv(converter.handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        cause_ = "its text is not in the character set " + charset;
        return;
    }
    output.resize(output.size() - outLeft);
    text_ = WithoutMark(output);
}
