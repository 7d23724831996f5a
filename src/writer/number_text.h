// Numbers as the converter reads them from text and writes them into PDF content.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellumox {

// Rounds to the nearest whole number; an exact half goes to the even neighbour.
double RoundHalfEven(double value);

// Rounds half to even and converts; nullopt when the value is not finite or out of range.
std::optional<int32_t> RoundToInt32(double value);
std::optional<int16_t> RoundToInt16(double value);

// A fixed-point value with four decimals (a count of ten-thousandths). Font size and
// line spacing are kept in it so that sums such as the running line position stay exact.
class Fixed4 {
 public:
  static constexpr int64_t kScale = 10000;  // ticks per unit
  constexpr Fixed4() = default;
  static constexpr Fixed4 FromTicks(int64_t ticks) { return Fixed4(ticks); }
  static constexpr Fixed4 FromInt(int64_t whole) { return Fixed4(whole * 10000); }
  // Rounds to four decimals, halves to even. Values beyond the representable range saturate.
  static Fixed4 FromDouble(double value);

  constexpr int64_t ticks() const { return ticks_; }
  double ToDouble() const { return static_cast<double>(ticks_) / 10000.0; }

  friend constexpr Fixed4 operator+(Fixed4 a, Fixed4 b) { return Fixed4(a.ticks_ + b.ticks_); }
  friend constexpr Fixed4 operator-(Fixed4 a, Fixed4 b) { return Fixed4(a.ticks_ - b.ticks_); }
  friend constexpr bool operator==(Fixed4 a, Fixed4 b) = default;

 private:
  constexpr explicit Fixed4(int64_t ticks) : ticks_(ticks) {}
  int64_t ticks_ = 0;
};

// numerator / denominator rounded to the nearest whole number, an exact half to the even
// neighbour, computed exactly; 0 when the denominator is 0 or the result is out of range.
int32_t DivideRoundHalfEven(int64_t numerator, int64_t denominator);

// Number-to-text for PDF content: "." as decimal separator whatever the locale, no leading
// blank, no zero before the point (.5, -.25), whole values without a point, never an exponent.
std::string FormatNumber(int64_t value);
inline std::string FormatNumber(int32_t value) {
  return FormatNumber(static_cast<int64_t>(value));
}
inline std::string FormatNumber(int16_t value) {
  return FormatNumber(static_cast<int64_t>(value));
}
// At most four decimals, without trailing zeros.
std::string FormatNumber(Fixed4 value);
// At most 15 significant digits.
std::string FormatNumber(double value);
// At most 7 significant digits.
std::string FormatNumber(float value);

// The lenient reading of a number from text: blanks, tabs and line feeds are skipped wherever
// they stand ("1 2" reads 12), then an optional sign, digits with at most one decimal point and
// an optional exponent (E or D, optional sign, digits); "&H" and "&O" introduce a hexadecimal or
// octal whole number. Reading stops at the first character that cannot continue the number;
// text without a leading number reads 0. A result too large for a double is infinite.
double ReadNumber(std::string_view text);

// The value of a text that is a number as a whole (blanks around it allowed): an optional sign,
// digits with at most one point and an optional exponent, or an "&H" or "&O" number. nullopt
// for anything else, such as "12abc" or an empty text.
std::optional<double> ParseNumberValue(std::string_view text);

}  // namespace vellumox
