// Character masks ("##.##", "{0123456789}######") and date or time patterns
// ("DD.MM.YYYY", "hh:nn"): displayed form, value form and the editing form.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavelin::fmt {

// A mask split into its positions-and-literals part and its filter "{...}".
struct MaskParts {
    std::u16string mask;    // the mask without the filter
    std::u16string filter;  // the allowed characters; empty when none given
    bool hasFilter = false;
};
MaskParts splitMask(std::u16string_view mask);

// Whether a typed character suits a "#" mask's filter (compared in upper
// case; "*" accepts any; digits when there is no filter).
bool filterAcceptsTyped(const MaskParts& m, char16_t c);
// Whether a character belongs to the value of a "#" mask or date pattern
// (digits when there is no filter; digits and everything from "A" upwards
// when the filter holds "*").
bool filterKeepsInValue(const MaskParts& m, char16_t c);

// A mask character that takes a value character.
bool isMaskPosition(char16_t c);

// Mask and value walked together: positions take value characters, other
// mask characters are written as literals. A value that already carries its
// literals is returned unchanged outside editing.
std::u16string makeMaskedStr(std::u16string_view text, std::u16string_view mask,
                             bool textHasLiterals, bool editing);
// The value characters of a displayed masked text (unchanged when literals are stored).
std::u16string makeUnfmtMaskedStr(std::u16string_view text, std::u16string_view mask,
                                   bool saveLiterals);
std::u16string reformatMaskedStr(std::u16string_view text, std::u16string_view mask,
                                 bool saveLiterals);
std::u16string reformatMaskedEdit(std::u16string_view text, std::u16string_view mask,
                                  bool saveLiterals);

// One part of a date or time pattern: a run of one pattern letter and the
// literal text that follows it.
struct DatetimePart {
    char16_t letter = 0;  // Y, M, D, h, n, m or s
    int width = 0;
    std::u16string sepAfter;
};
bool isDatetimeLetter(char16_t c);
// Parts of a pattern; literal text before the first letter is ignored.
std::vector<DatetimePart> splitDatetimePattern(std::u16string_view pattern);
// "hh." -> "hh:", "nn." -> "nn:", minutes written "mm" next to hours or seconds -> "nn".
std::u16string normaliseDatetimePattern(std::u16string_view pattern);

// Displayed date or time text; in the editing form the typed digits are
// spread over the pattern's parts (two digits each, a year takes all) and
// the separator after a completed part is written at once.
std::u16string makeDatetimeStr(std::u16string_view text, std::u16string_view mask,
                               bool literalsStored, bool editing);
std::u16string reformatDatetimeEdit(std::u16string_view text, std::u16string_view mask,
                                    bool literalsStored);

}  // namespace kavelin::fmt
