// A quick structural check of a PDF written by the converter, cheap enough to run on every fuzz
// input: cross references point at their objects, stream lengths are exact, and every literal
// string in a content stream is balanced.
#pragma once

#include <string>
#include <string_view>

namespace vellumox::test {

// Empty when the file is sound, else what is wrong.
std::string CheckPdfStructure(std::string_view pdf);

}  // namespace vellumox::test
