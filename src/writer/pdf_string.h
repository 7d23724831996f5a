// Text as the body of a PDF literal string.
#pragma once

#include <string>
#include <string_view>

namespace vellumox {

// Whether a string byte takes a backslash before it: a backslash or a parenthesis.
inline bool TakesBackslash(char c) {
  return c == '\\' || c == '(' || c == ')';
}

// How many bytes of text take a backslash.
size_t CountEscaped(std::string_view text);

// Escapes text for a PDF literal string (backslash, "(" and ")" get a backslash before them) and
// appends it to out.
void AppendEscaped(std::string_view text, std::string& out);

// The escaped text.
std::string EscapePdfString(std::string_view text);

// A text string of the document information, from Windows-1252 bytes: "(escaped text)", or,
// when the text holds a byte from 0x80 to 0x9F (where PDFDocEncoding, in which a reader takes
// such a string, has other characters), the same characters as UTF-16BE with its byte-order
// mark, "<FEFF...>" in upper-case hexadecimal digits.
std::string PdfTextString(std::string_view windows1252);

// A text string of UTF-8 text with characters beyond Windows-1252: "<FEFF...>", UTF-16BE.
std::string PdfUtf16String(std::string_view utf8);
// UTF-8 text as UTF-16BE in upper-case hexadecimal digits (as hex strings and CMaps hold it).
std::string Utf16BigEndianHex(std::string_view utf8);

}  // namespace vellumox
