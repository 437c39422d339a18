#include "choices/StoredWidth.h"

#include <cstdint>

#include "system/SettingsStore.h"

int StoredWidth::Load() const {
    const std::uint32_t value = StoreReadNumber(StoreRoot::User, SettingsKey, name_);
    return value <= static_cast<std::uint32_t>(MaxPixels) ? static_cast<int>(value) : 0;
}

void StoredWidth::Save(int pixels) const {
    const bool sensible = pixels > 0 && pixels <= MaxPixels;
    StoreWriteNumber(sensible ? static_cast<std::uint32_t>(pixels) : 0, StoreRoot::User,
                     SettingsKey, name_);
}

int StoredWidth::Or(int designed) const {
    const int stored = Load();
    return stored > 0 ? stored : designed;
}
