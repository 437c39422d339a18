#pragma once
// Track and disc numbers with their totals. They are carried as four fields of the table, each a
// number of its own (TRACKNUMBER, TRACKTOTAL, DISCNUMBER, DISCTOTAL), as Vorbis comments hold
// them; ID3v2, MP4, ASF and RIFF INFO keep a number and its total in one field as "3/12".
#include <taglib/tpropertymap.h>

struct NumberPair {
    const char* number;
    const char* total;
};

inline constexpr NumberPair NumberPairs[] = {{"TRACKNUMBER", "TRACKTOTAL"},
                                             {"DISCNUMBER", "DISCTOTAL"}};

// Splits a number read as "3/12" into the number and its total (a total field of its own is
// taken first), and leaves out what is no number or is 0: each value is then one to nine decimal
// digits, as the input wrote them ("03" stays).
void SplitNumberPairs(TagLib::PropertyMap& fields);

// fields with each number and its total joined into the number's field ("3/12", or "3" without a
// total) and no total fields: a total without its number has no place there.
TagLib::PropertyMap JoinedNumberPairs(const TagLib::PropertyMap& fields);
