#pragma once
// One encoder option given as a number: how the window, the command line, the settings store and
// the worker messages name it, which values it takes, and its default.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// A value the window lists for an option, with its text; an empty text shows the number and the
// option's unit.
struct OfferedValue {
    int32_t Value;
    std::string_view Text = {};
    // The picture beside its radio button, an SVG file in the format's folder; may be empty.
    std::string_view Picture = {};
};

// How the settings store keeps an option's value. A list's item is kept for the lists the
// program has always had, so that choices saved by earlier versions load unchanged.
enum class StoredAs : uint8_t {
    Value,       // the number itself, as the bits of a signed number
    Item,        // the index of its offered value; any other index: no selection
    ItemPlusOne, // that index plus 1; 0 (or nothing stored): the first choice of a new user
    Flag,        // 0 or 1 (Most); any other number read means 1
};

struct FormatOption {
    std::string_view Caption;    // for people, after the format's name: "compression level"
    std::string_view Flag;       // on the command line: "--compression-level"
    std::string_view StoredName; // in the settings store and the worker messages
    int32_t Least;
    int32_t Most;
    // 0 is taken too, meaning "as the input", though it lies outside Least..Most.
    bool ZeroKeepsInput;
    std::string_view Unit; // after a value in texts: "kbit/s"; may be empty
    // What the encoder gets when nothing is chosen (a list without a selection too).
    int32_t Default;
    // What the window lists, in order; empty: any value of the range, chosen with a spin box.
    std::span<const OfferedValue> Offered = {};
    // Only the offered values are taken (a fixed list), not every value of the range; an offered
    // value outside the range is taken in any case.
    bool OnlyOffered = false;
    StoredAs Stored = StoredAs::Value;
    // What a new user starts with, when it is not Default.
    std::optional<int32_t> Initial = std::nullopt;
    // Given on the command line without a value, meaning Most ("--mono").
    bool IsSwitch = false;
    // The window's own words for it, where they are not its Caption ("Bit Rate"), and the picture
    // beside them (an SVG file in the format's folder). Either may be empty.
    std::string_view Label = {};
    std::string_view Picture = {};
    // Set to anything but its first offered value (which means off), it takes the place of this
    // other option of its format, whose value is then not used: a variable bit rate over the
    // constant one.
    const FormatOption* Replaces = nullptr;
    // For a list kept by item whose order has changed since: its values in the order of the items
    // that earlier versions stored. Empty: the order of Offered.
    std::span<const int32_t> StoredOrder = {};

    bool Accepts(int32_t value) const;
    // The item of Offered holding value.
    std::optional<std::size_t> ItemOf(int32_t value) const;
    // A list whose stored item, not value, is kept: it may have no selection.
    bool ListedByItem() const {
        return Stored == StoredAs::Item || Stored == StoredAs::ItemPlusOne;
    }
    int32_t FirstChoice() const { return Initial.value_or(Default); }
    // The stored item of value, and the value of a stored item (ListedByItem).
    std::optional<std::size_t> StoredItemOf(int32_t value) const;
    std::optional<int32_t> ValueOfStoredItem(std::size_t item) const;
    // Whether value turns on a choice that replaces another (Replaces).
    bool ReplacesWith(int32_t value) const {
        return Replaces && !Offered.empty() && value != Offered.front().Value;
    }
};
