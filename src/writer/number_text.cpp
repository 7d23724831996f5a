#include "writer/number_text.h"

#include <cstdint>

#include <charconv>
#include <cmath>
#include <limits>

namespace vellumox {

double RoundHalfEven(double value) {
  // The floating-point environment rounds to nearest, ties to even; nothing here changes it.
  return std::nearbyint(value);
}

std::optional<int32_t> RoundToInt32(double value) {
  double r = RoundHalfEven(value);
  if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
  return static_cast<int32_t>(r);
}

std::optional<int16_t> RoundToInt16(double value) {
  double r = RoundHalfEven(value);
  if (!std::isfinite(r) || r < -32768.0 || r > 32767.0) return std::nullopt;
  return static_cast<int16_t>(r);
}

Fixed4 Fixed4::FromDouble(double value) {
  // The range of a 64-bit count of ten-thousandths, kept a little inside the limit.
  constexpr double kLimit = 9.2e14;
  if (std::isnan(value)) return Fixed4(0);
  if (value > kLimit) value = kLimit;
  if (value < -kLimit) value = -kLimit;
  return Fixed4(static_cast<int64_t>(RoundHalfEven(value * 10000.0)));
}

std::string FormatNumber(int64_t value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

std::string FormatNumber(Fixed4 value) {
  int64_t ticks = value.ticks();
  std::string out;
  uint64_t magnitude = ticks < 0 ? 0 - static_cast<uint64_t>(ticks) : static_cast<uint64_t>(ticks);
  if (ticks < 0) out += '-';
  uint64_t whole = magnitude / 10000;
  uint64_t frac = magnitude % 10000;
  if (whole != 0 || frac == 0) out += std::to_string(whole);
  if (frac != 0) {
    char digits[5] = {
        static_cast<char>('0' + frac / 1000), static_cast<char>('0' + frac / 100 % 10),
        static_cast<char>('0' + frac / 10 % 10), static_cast<char>('0' + frac % 10), 0};
    int len = 4;
    while (len > 0 && digits[len - 1] == '0') --len;
    out += '.';
    out.append(digits, len);
  }
  if (out == "-") out = "0";
  return out;
}

namespace {

// Formats with the given number of significant digits in plain positional notation.
std::string FormatSignificant(double value, int significant) {
  if (!std::isfinite(value) || value == 0.0) return "0";
  char buf[64];
  auto r =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significant - 1);
  std::string_view text(buf, r.ptr - buf);
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  size_t e = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (c != '.') digits += c;
  }
  int exponent = 0;
  std::string_view exp_text = text.substr(e + 1);
  if (!exp_text.empty() && exp_text.front() == '+') exp_text.remove_prefix(1);
  std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  if (digits == "0") return "0";

  std::string out;
  if (negative) out += '-';
  if (exponent >= 0) {
    size_t int_len = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= int_len) {
      out += digits;
      out.append(int_len - digits.size(), '0');
    } else {
      out += digits.substr(0, int_len);
      out += '.';
      out += digits.substr(int_len);
    }
  } else {
    out += '.';
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += digits;
  }
  return out;
}

bool IsSkippedBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// "&H" and "&O" numbers: the hexadecimal or octal value of their digits (&HFFFF is 65535).
double ReadRadixNumber(std::string_view text, size_t pos, int radix) {
  double value = 0;
  for (; pos < text.size(); ++pos) {
    char c = text[pos];
    if (IsSkippedBlank(c)) continue;
    int d = DigitValue(c);
    if (d >= radix) break;
    value = value * radix + d;
  }
  return value;
}

}  // namespace

int32_t DivideRoundHalfEven(int64_t numerator, int64_t denominator) {
  if (denominator == 0) return 0;
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  int64_t quotient = numerator / denominator;
  int64_t remainder = numerator % denominator;
  if (remainder < 0) {  // floor division
    quotient -= 1;
    remainder += denominator;
  }
  const int64_t twice = 2 * remainder;
  if (twice > denominator || (twice == denominator && quotient % 2 != 0)) quotient += 1;
  if (quotient > INT32_MAX || quotient < INT32_MIN) return 0;
  return static_cast<int32_t>(quotient);
}

std::string FormatNumber(double value) {
  return FormatSignificant(value, 15);
}

std::string FormatNumber(float value) {
  return FormatSignificant(static_cast<double>(value), 7);
}

double ReadNumber(std::string_view text) {
  size_t pos = 0;
  auto skip = [&] {
    while (pos < text.size() && IsSkippedBlank(text[pos])) ++pos;
  };
  skip();
  if (pos + 1 < text.size() && text[pos] == '&') {
    char kind = text[pos + 1];
    if (kind == 'h' || kind == 'H') return ReadRadixNumber(text, pos + 2, 16);
    if (kind == 'o' || kind == 'O') return ReadRadixNumber(text, pos + 2, 8);
    return 0.0;
  }
  std::string clean;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    if (text[pos] == '-') clean += '-';
    ++pos;
  }
  bool any_digit = false;
  bool seen_point = false;
  for (; pos < text.size(); ++pos) {
    char c = text[pos];
    if (IsSkippedBlank(c)) continue;
    if (c >= '0' && c <= '9') {
      clean += c;
      any_digit = true;
    } else if (c == '.' && !seen_point) {
      clean += c;
      seen_point = true;
    } else {
      break;
    }
  }
  if (!any_digit) return 0.0;
  // Optional exponent: E or D, optional sign, at least one digit.
  skip();
  if (pos < text.size() &&
      (text[pos] == 'e' || text[pos] == 'E' || text[pos] == 'd' || text[pos] == 'D')) {
    size_t p = pos + 1;
    std::string exp = "e";
    while (p < text.size() && IsSkippedBlank(text[p])) ++p;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) exp += text[p++];
    bool exp_digit = false;
    for (; p < text.size(); ++p) {
      char c = text[p];
      if (IsSkippedBlank(c)) continue;
      if (c < '0' || c > '9') break;
      if (exp.size() < 8) exp += c;  // a longer exponent overflows anyway
      exp_digit = true;
    }
    if (exp_digit) clean += exp;
  }
  bool negative = !clean.empty() && clean.front() == '-';
  std::string_view magnitude(clean);
  if (negative) magnitude.remove_prefix(1);
  double result = 0.0;
  auto r = std::from_chars(magnitude.data(), magnitude.data() + magnitude.size(), result);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large reads as infinity, too small for a double as 0.
    size_t epos = magnitude.find('e');
    bool small =
        epos != std::string_view::npos && epos + 1 < magnitude.size() && magnitude[epos + 1] == '-';
    result = small ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return negative ? -result : result;
}

std::optional<double> ParseNumberValue(std::string_view value) {
  size_t b = value.find_first_not_of(" \t");
  if (b == std::string_view::npos) return std::nullopt;
  size_t e = value.find_last_not_of(" \t");
  std::string_view v = value.substr(b, e - b + 1);
  size_t i = 0;
  if (v.size() >= 2 && v[0] == '&' && (v[1] == 'h' || v[1] == 'H' || v[1] == 'o' || v[1] == 'O')) {
    bool hex = v[1] == 'h' || v[1] == 'H';
    if (v.size() == 2) return std::nullopt;
    for (i = 2; i < v.size(); ++i) {
      int d = DigitValue(v[i]);
      if (d >= (hex ? 16 : 8)) return std::nullopt;
    }
    return ReadNumber(v);
  }
  if (v[i] == '+' || v[i] == '-') ++i;
  bool digits = false, point = false;
  for (; i < v.size(); ++i) {
    if (v[i] >= '0' && v[i] <= '9') {
      digits = true;
    } else if (v[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < v.size() && (v[i] == 'e' || v[i] == 'E' || v[i] == 'd' || v[i] == 'D')) {
    ++i;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
    bool exp_digits = false;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) exp_digits = true;
    if (!exp_digits) return std::nullopt;
  }
  if (i != v.size()) return std::nullopt;
  double number = ReadNumber(v);
  if (!std::isfinite(number)) return std::nullopt;
  return number;
}

}  // namespace vellumox
