#include "layout/markup_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "layout/text_rules.h"
#include "writer/color_table.h"
#include "writer/font_table.h"
#include "writer/number_text.h"
#include "writer/path_names.h"

namespace vellumox {

std::string TagAttribute(std::string_view tag, std::string_view name,
                         std::string_view default_value) {
  std::string value(default_value);
  std::string key = std::string(name) + "=";
  size_t at = FindIgnoreCase(tag, key);
  if (at != std::string_view::npos) {
    size_t start = at + key.size();
    std::string_view rest = tag.substr(start);
    if (!rest.empty() && rest.front() == '"') {
      size_t close = rest.find('"', 1);
      value =
          close == std::string_view::npos ? std::string() : std::string(rest.substr(1, close - 1));
    } else if (size_t blank = rest.find(' '); blank != std::string_view::npos) {
      value = std::string(rest.substr(0, blank));
    } else {
      double number = ReadNumber(rest);
      value = number != 0 && std::isfinite(number) ? FormatNumber(number) : std::string(rest);
    }
  }
  return value;
}

int FontForFace(std::string_view face, bool italic, bool bold, int font_index) {
  int offset = bold && italic ? 3 : bold ? 2 : italic ? 1 : 0;
  int i = font_index + offset;
  int result = i >= kFontCount ? 0 : i + 1;
  if (!face.empty()) {
    int base = -1;
    switch (face.front() | 0x20) {
      case 'c':
        base = EqualsIgnoreCase(face.substr(0, 10), "couriernew") ? 16 : 0;
        break;
      case 't':
        base = 4;
        break;
      case 'a':
        base = 8;
        break;
      case 'h':
        base = 12;
        break;
      default:
        break;
    }
    if (base >= 0) result = base + offset + 1;
  }
  return result;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#RRGGBB": each pair over 255, rounded to one decimal; a pair cut short is read from the
// digits there, a missing one is 0; a pair that is not hexadecimal gives Navy Blue.
std::string HexColor(std::string_view digits) {
  std::string out;
  for (int k = 0; k < 3; ++k) {
    std::string_view pair = digits.substr(std::min<size_t>(digits.size(), 2 * k), 2);
    int value = 0;
    for (char c : pair) {
      int d = HexDigit(c);
      if (d < 0) return std::string(ColorOperands(color_index::kNavyBlue));
      value = value * 16 + d;
    }
    double component = RoundHalfEven(value / 255.0 * 10.0) / 10.0;
    if (k > 0) out += ' ';
    out += FormatNumber(component);
  }
  return out;
}

bool Holds(std::string_view lower_tag, std::string_view word) {
  return lower_tag.find(word) != std::string_view::npos;
}

int NamedColor(char letter, std::string_view lower_tag) {
  using namespace color_index;
  switch (letter) {
    case 'b':
      if (Holds(lower_tag, "black")) return kBlack;
      if (Holds(lower_tag, "brown")) return kBrown;
      return kBlue;
    case 'g':
      return Holds(lower_tag, "green") ? kGreen : kGray;
    case 'c':
      return kCyan;
    case 'r':
      return kRed;
    case 'm':
      return kMagenta;
    case 'y':
      return kYellow;
    case 'w':
      return kWhite;
    case 'n':
      return kNavyBlue;
    case 'o':
      return kOrange;
    case 'p':
      return kPurple;
    case 'd': {
      static constexpr std::pair<std::string_view, int> kDark[] = {
          {"blue", kNavyBlue}, {"green", kDarkGreen},     {"cyan", kDarkCyan}, {"red", kDarkRed},
          {"orange", kOrange}, {"magenta", kDarkMagenta}, {"gray", kDarkGray}, {"yellow", kBrown}};
      for (const auto& [word, index] : kDark) {
        if (Holds(lower_tag, word)) return index;
      }
      return kNavyBlue;
    }
    case 'l': {
      static constexpr std::pair<std::string_view, int> kLight[] = {
          {"blue", kLightBlue},    {"green", kLightGreen},   {"cyan", kLightCyan},
          {"red", kLightOrange},   {"orange", kLightOrange}, {"magenta", kPurple},
          {"yellow", kLightYellow}};
      for (const auto& [word, index] : kLight) {
        if (Holds(lower_tag, word)) return index;
      }
      return kLightGray;
    }
    default:
      return kBlack;
  }
}

}  // namespace

std::optional<std::string> FontTagColor(std::string_view tag) {
  size_t at = FindIgnoreCase(tag, "color=");
  if (at == std::string_view::npos) return std::nullopt;
  size_t p = at + 6;
  char c = p < tag.size() ? tag[p] : '\0';
  if (c >= '0' && c <= '9') return std::string(ColorOperands(static_cast<int16_t>(c - '0')));
  if (c == '#') return HexColor(tag.substr(p + 1, 6));
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
    char lower = static_cast<char>(c | 0x20);
    return std::string(ColorOperands(static_cast<int16_t>(NamedColor(lower, ToLowerAscii(tag)))));
  }
  return std::string(ColorOperands(color_index::kBlack));
}

int32_t AttributeToInt(std::string_view value) {
  std::optional<double> number = ParseNumberValue(value);
  return number ? RoundToInt32(*number).value_or(0) : 0;
}

}  // namespace vellumox
