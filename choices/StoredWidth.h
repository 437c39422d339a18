#pragma once
// A column width a window keeps in the settings store between runs (the "Type" columns of the
// options form's list and of the overwrite confirmation; their "Name" columns stretch). A value
// that is missing or out of reason reads as 0: the designed width.
#include <string_view>

class StoredWidth {
public:
    static constexpr int MaxPixels = 20000;

    explicit StoredWidth(std::string_view name) : name_(name) {}

    int Load() const;
    void Save(int pixels) const;
    // The stored width, or designed when none is stored.
    int Or(int designed) const;

private:
    std::string_view name_;
};
