#include "app/CommandQuoting.h"

#include <libxml/xmlstring.h>

std::string ShellQuoted(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string DesktopExecQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
        if (c == '%') {
            quoted += '%';
        }
    }
    return quoted + "\"";
}

std::string KeyFileEscaped(std::string_view value) {
    std::string escaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
        switch (value[i]) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case ' ':
            escaped += i == 0 ? "\\s" : " ";
            break;
        default:
            escaped += value[i];
        }
    }
    return escaped;
}

std::string PercentDoubled(std::string_view text) {
    std::string doubled;
    for (const char c : text) {
        doubled += c;
        if (c == '%') {
            doubled += '%';
        }
    }
    return doubled;
}

bool IsValidUtf8(std::string_view text) {
    // A path holds no zero byte; one here would hide the rest of the text from the check.
    const std::string copy(text);
    return copy.find('\0') == std::string::npos &&
           xmlCheckUTF8(reinterpret_cast<const xmlChar*>(copy.c_str())) != 0;
}
