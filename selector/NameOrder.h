#pragma once
// The order in which the selector shows names: the user's locale's (so "Älbum" stands among the
// A's), numbers compared as numbers ("Track 2" before "Track 10"), without regard to letter case.
// It is ICU's collation, which Qt's QCollator also uses; the selector reaches it without Qt.
//
// Names are UTF-8, but a Linux file name may hold any bytes: a byte that is not part of valid
// UTF-8 keeps a character of its own (in the private use area), so such names stay apart.
#include <memory>
#include <string>
#include <string_view>

struct UCollator;

class NameOrder {
public:
    // locale: an ICU or POSIX locale name ("de_DE", "de_DE.UTF-8"); "", "C" and "POSIX" give
    // Unicode's root order.
    explicit NameOrder(std::string_view locale);
    ~NameOrder();
    NameOrder(const NameOrder&) = delete;
    NameOrder& operator=(const NameOrder&) = delete;

    // The order of the user's locale, from LC_ALL, LC_COLLATE or LANG; made once.
    static const NameOrder& ForUser();

    // A key whose bytes compare (as std::string does) in the order of the names.
    std::string Key(std::string_view utf8) const;
    // -1, 0 or 1 as a sorts before, with or after b.
    int Compare(std::string_view a, std::string_view b) const;

private:
    struct CloseCollator {
        void operator()(UCollator* collator) const;
    };
    std::unique_ptr<UCollator, CloseCollator> collator_;
};

// -1, 0 or 1 as a is smaller than, equal to or greater than b.
template <typename T> int CompareKeys(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}
