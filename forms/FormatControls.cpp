#include "forms/FormatControls.h"

#include <algorithm>

#include "catalog/FormatTable.h"

std::vector<const FormatInfo*> ButtonFormats() {
    std::vector<const FormatInfo*> formats;
    for (const FormatInfo& format : Formats()) {
        if (format.IsTarget()) {
            formats.push_back(&format);
        }
    }
    return formats;
}

std::vector<const FormatInfo*> BoxFormats() {
    std::vector<const FormatInfo*> formats;
    for (const FormatInfo& format : Formats()) {
        if (format.IsInput()) {
            formats.push_back(&format);
        }
    }
    std::ranges::stable_sort(formats, {}, &FormatInfo::BoxPlace);
    return formats;
}

QString FormatControlName(const char* prefix, const FormatInfo& format) {
    QString key = QString::fromLatin1(format.Key.data(), static_cast<qsizetype>(format.Key.size()));
    if (!key.isEmpty()) {
        key[0] = key[0].toUpper();
    }
    return QLatin1String(prefix) + key;
}
