// Name rules shared by the window, the command line, the conversion jobs and image references.
#pragma once

#include <string>
#include <string_view>

namespace vellumox {

// The folder part of a path: the path is cut before its first "?"; the result is the text up
// to and including its last "\" or "/", or empty when it has neither.
std::string FolderOfPath(std::string_view path);

// When the lower-cased name ends in ".txt" or ".pdf", its last four characters are replaced by
// the extension; otherwise the extension is appended (report.doc gives report.doc.pdf).
std::string WithPdfExtension(std::string_view name, std::string_view extension);

// A PDF's name as the user gave it: the name when it ends in ".pdf" (letter case aside), else the
// name with ".pdf" appended (trip gives trip.pdf, notes.txt gives notes.txt.pdf).
std::string PdfName(std::string_view name);

// A file name as a message line shows it: bytes that are not UTF-8 and control characters
// (a line feed, a form feed, ...) as \xNN, everything else as it is.
std::string ShownName(std::string_view name);

// ASCII letter case helpers; bytes above 127 are left as they are.
std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix);
// Position of the first occurrence of needle at or after from, letters compared without regard
// to case; npos when there is none.
size_t FindIgnoreCase(std::string_view haystack, std::string_view needle, size_t from = 0);

}  // namespace vellumox
