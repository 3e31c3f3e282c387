// Text forms of settings-file values, independent of the process locale:
// Booleans "Ja"/"Nei", floats with a decimal comma, line breaks as " \n ".
#pragma once

#include <string>
#include <string_view>

namespace kavelin::ini {

// Trims characters 0..32 at both ends.
std::u16string_view trimIni(std::u16string_view s);

// Every line break (CR LF, CR or LF) becomes " \n ".
std::u16string encodeIniString(std::u16string_view s);
// Every " \n " becomes CR LF.
std::u16string restoreLineBreaks(std::u16string_view s);
// The raw value after "=": " \n " becomes CR LF (when there is a backslash),
// then the result is trimmed.
std::u16string decodeIniString(std::u16string_view raw);

// Decimal; text that does not parse as a whole (or overflows) gives 0.
int parseIniInt(std::u16string_view s);
std::u16string formatIniInt(long long v);

// "," is read as "."; text that does not parse as a whole gives 0.
double parseIniFloat(std::u16string_view s);
// Fixed notation with 6 decimals and a decimal comma, without trailing
// zeros of the fraction or a trailing comma: 2.5 -> "2,5", 3 -> "3".
std::u16string formatIniFloat(double v);

// True for a first character Y, J, X, S, T or 1 (either case); else false.
bool parseIniBool(std::u16string_view s);
std::u16string_view formatIniBool(bool v);

}  // namespace kavelin::ini
