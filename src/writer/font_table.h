// The fonts that every document declares. The position in this table is the position in the
// window's font list, the command line's font number, and resource /F(position + 1).
#pragma once

#include <array>
#include <string_view>

namespace vellumox {

struct FontEntry {
  std::string_view name;    // written after "/BaseFont /"
  std::string_view lookup;  // lower-case form compared with the lower-cased document font name
  double width_factor;      // k of the characters-per-line estimate
};

// Five groups of four (Courier, Times, Arial, Helvetica, CourierNew), each ordered regular,
// italic, bold, bold italic; the markup derives bold and italic faces from this layout.
inline constexpr std::array<FontEntry, 20> FontTable = {{
    {"Courier", "courier", 1.5},
    {"Courier-Oblique", "courier-oblique", 1.5},
    {"Courier-Bold", "courier-bold", 1.4},
    {"Courier-BoldOblique", "courier-boldoblique", 1.4},
    {"Times-Roman", "times-roman", 2.1},
    {"Times-Italic", "times-italic", 2.1},
    {"Times-Bold", "times-bold", 2},
    {"Times-BoldItalic", "times-bolditalic", 2},
    {"Arial", "arial", 1.85},
    {"Arial,Italic", "arial,italic", 1.85},
    {"Arial,Bold", "arial,bold", 1.75},
    {"Arial,BoldItalic", "arial,bolditalic", 1.75},
    {"Helvetica", "helvetica", 1.95},
    {"Helvetica-Oblique", "helvetica-oblique", 1.95},
    {"Helvetica-Bold", "helvetica-bold", 1.7},
    {"Helvetica-BoldOblique", "helvetica-boldoblique", 1.7},
    {"CourierNew", "couriernew", 1.5},
    {"CourierNew,Italic", "couriernew,italic", 1.5},
    {"CourierNew,Bold", "couriernew,bold", 1.4},
    {"CourierNew,BoldItalic", "couriernew,bolditalic", 1.4},
}};

inline constexpr int kFontCount = static_cast<int>(FontTable.size());

// Width factor used for a font name that is not in the table.
inline constexpr double kUnknownFontWidthFactor = 2.2;

// The width factor of a font name, compared without regard to letter case.
double FontWidthFactor(std::string_view font_name);

// The table position of a font name, compared without regard to letter case; -1 when absent.
int FontIndexOf(std::string_view font_name);

// What a face of the table is, by its place in it: its family's class (the groups are Courier,
// Times, Arial, Helvetica and CourierNew) and, within the group, regular, italic, bold and bold
// italic. Faces for characters beyond the standard fonts are chosen to match it.
enum class FontClass { kMonospace, kSerif, kSans };
struct FaceStyle {
  FontClass family = FontClass::kSans;
  bool bold = false;
  bool italic = false;
  auto operator<=>(const FaceStyle&) const = default;
};
// The style of table position index; a font that is not in the table (-1) is a plain sans.
FaceStyle FaceStyleOf(int index);

}  // namespace vellumox
