// The pure rules of the markup: attribute values, font choices and colours of font tags.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellumox {

// The value of name= in a tag (the text between "<" and ">"), or default_value when the tag has
// none. The first occurrence counts, also inside a longer word; a double-quoted value runs to
// the next quote; an unquoted one to the next blank; a value that runs to the end of the tag and
// starts with a number other than 0 is that number.
std::string TagAttribute(std::string_view tag, std::string_view name,
                         std::string_view default_value);

// The font for a face name and style flags: its resource position, 1 to 20 for the font table's
// fonts (F1 to F20), 0 for the document font (F0). font_index is the document font's position
// in the font table.
int FontForFace(std::string_view face, bool italic, bool bold, int font_index);

// The colour that a font tag's "color=" selects, as "rg" operands; nullopt when the tag has no
// "color=".
std::optional<std::string> FontTagColor(std::string_view tag);

// A whole number from an attribute value, as a value converts when it is a number: blanks
// around it allowed, then an optional sign, digits with a point and an exponent, or an "&H" or
// "&O" number; rounded half to even. Anything else, or a number out of range, gives 0.
int32_t AttributeToInt(std::string_view value);

}  // namespace vellumox
