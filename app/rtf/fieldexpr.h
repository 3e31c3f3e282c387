// The small expression evaluator that keys the operands of IF and COMPARE
// fields: comparisons, + - * /, brackets and a few spreadsheet functions.
#pragma once

#include <optional>
#include <string_view>

namespace kavelin::rtf {

// The value read from the start of text (after blanks), or nothing when no
// value can be read there; whatever follows a complete value is ignored.
// Numbers take "," or "." as decimal separator, the first one met wins.
std::optional<double> evaluateFieldExpression(std::string_view text);

}  // namespace kavelin::rtf
