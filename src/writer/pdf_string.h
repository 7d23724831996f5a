// Text as the body of a PDF literal string.
#pragma once

#include <string>
#include <string_view>

namespace vellumox {

// True when text holds a backslash or a parenthesis.
bool NeedsEscaping(std::string_view text);

// Escapes text for a PDF literal string (backslash, "(" and ")" get a backslash before them) and
// appends it to out.
void AppendEscaped(std::string_view text, std::string& out);

// The escaped text.
std::string EscapePdfString(std::string_view text);

}  // namespace vellumox
