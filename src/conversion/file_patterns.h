// File-name patterns of the conversion jobs: "*" any run of characters, "?" any one, letters
// compared without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

// The picture patterns that make an input an album (";*.jpg;*.gif;..."); the extra ones
// (";*.tif;...") when the optional formats can all be read.
std::string ImagePatterns();
std::string ExtraImagePatterns();

// Whether a name matches a pattern.
bool WildcardMatch(std::string_view name, std::string_view pattern);

// Natural order of names, as a reader counts: runs of ASCII digits compared by their value
// (leading zeros aside), ASCII letters without regard to case, any other character one UTF-8
// character at a time by its code point; names equal so are ordered by their bytes, so that the
// order is the same on every run ("a", "p1", "p2", "P10", "p010"...).
bool NaturalLess(std::string_view a, std::string_view b);

// The regular files that a name pattern ("*" and "?" in its last part) matches, letters
// compared without regard to case as the pattern means on the platforms the converter came
// from, in natural order. A name without wildcards matches itself when it is a file.
std::vector<std::string> MatchingFiles(const std::string& pattern);

// The names in folder (without the folder) that match any of the patterns separated by ";",
// in natural order: the picture list of the album builder.
std::vector<std::string> MatchingNames(const std::string& folder, std::string_view patterns);

// Whether an input text makes an album: its last four characters, without regard to case, occur
// in the image pattern list; or it ends in the extension of one of alias_patterns (";*.jpeg"),
// the other names of the picture types, which that four-character test cannot tell.
bool IsAlbumInput(const std::string& input_text, const std::string& image_patterns,
                  std::string_view alias_patterns = {});

}  // namespace vellumox
