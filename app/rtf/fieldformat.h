// Formats of field results: number patterns, date and time patterns and
// case conversion. All texts are 8-bit (Windows-1252) byte strings; nothing
// depends on the process locale: the conventions are the application's own
// (decimal comma, blank as thousands separator, dates "DD.MM.YYYY").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavelin::rtf::fieldfmt {

constexpr char DecimalSeparator = ',';
constexpr char ThousandSeparator = ' ';

// Reads a whole (trimmed) text as a number written with the decimal separator.
std::optional<double> readNumber(std::string_view text);

// Formats v by a number pattern: "0" digit always shown, "#" digit shown when
// significant, "." decimal separator (written as decimalSep), "," thousands
// grouping, quoted text literal, up to three ";"-sections (positive,
// negative, zero). Nothing when the pattern has no digit placeholder.
std::optional<std::string> formatNumber(double v, std::string_view pattern, char decimalSep = DecimalSeparator);

// Days since 30 December 1899 with the time of day as fraction.
using TDateTime = double;

// Reads "D.M.YYYY" or "D.M.YY", optionally followed by a time "h:m" or
// "h:m:s", or a time alone; nothing when the text is neither.
std::optional<TDateTime> readDateTime(std::string_view text);

// Formats by a date pattern: "d" "dd" "ddd" "dddd" day, "m" .. "mmmm" month
// ("m"/"mm" right after an hour are minutes), "yy" "yyyy" year, "h" "hh"
// hour, "n" "nn" minute, "s" "ss" second, quoted text literal; letters are
// matched ignoring case. Day and month names are Norwegian.
std::string formatDateTime(TDateTime t, std::string_view pattern);

enum class TCaseMode { none, caps, upper, lower, firstcap };
// Case conversion of an RTF result, word by word; control words and braces
// are left alone.
std::string convertCase(std::string_view rtf, TCaseMode mode);

char upperByte(char c);
char lowerByte(char c);

}  // namespace kavelin::rtf::fieldfmt
