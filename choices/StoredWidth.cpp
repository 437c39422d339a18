#include "choices/StoredWidth.h"

#include <cstdint>

#include "system/Registry.h"

int StoredWidth::Load() const {
    const std::uint32_t value = RegReadDword(HKEY_CURRENT_USER, SettingsKey, name_);
    return value <= static_cast<std::uint32_t>(MaxPixels) ? static_cast<int>(value) : 0;
}

void StoredWidth::Save(int pixels) const {
    const bool sensible = pixels > 0 && pixels <= MaxPixels;
    RegWriteDword(sensible ? static_cast<std::uint32_t>(pixels) : 0, HKEY_CURRENT_USER, SettingsKey,
                  name_);
}

int StoredWidth::Or(int designed) const {
    const int stored = Load();
    return stored > 0 ? stored : designed;
}
