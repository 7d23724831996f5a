#include "writer/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vellumox {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double in, out;
  } cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},     {-0.5, 0},   {-1.5, -2},
               {-2.5, -2}, {76.5, 76}, {91.8, 92}, {54.545, 55}, {2.4999, 2}, {2.5001, 3}};
  for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(RoundToInt, RejectsWhatDoesNotFit) {
  EXPECT_EQ(RoundToInt16(32767.4), 32767);
  EXPECT_FALSE(RoundToInt16(32767.5).has_value());  // rounds to 32768
  EXPECT_FALSE(RoundToInt16(-32769).has_value());
  EXPECT_FALSE(RoundToInt32(INFINITY).has_value());
  EXPECT_FALSE(RoundToInt32(NAN).has_value());
  EXPECT_EQ(RoundToInt32(-2.5), -2);
}

TEST(FormatNumber, WholeAndFixedPointValues) {
  EXPECT_EQ(FormatNumber(int64_t{300}), "300");
  EXPECT_EQ(FormatNumber(int32_t{-36}), "-36");
  EXPECT_EQ(FormatNumber(int64_t{9999999999}), "9999999999");
  struct Case {
    double value;
    const char* text;
  } fixed[] = {{10.8, "10.8"},      {13.2, "13.2"},    {12, "12"},
               {0.5, ".5"},         {-0.25, "-.25"},   {0, "0"},
               {1.2345, "1.2345"},  {0.0001, ".0001"}, {-7, "-7"},
               {1.23456, "1.2346"}, {100.1, "100.1"}};
  for (const Case& c : fixed) {
    EXPECT_EQ(FormatNumber(Fixed4::FromDouble(c.value)), c.text) << c.value;
  }
}

TEST(FormatNumber, DoubleAndSingleValues) {
  struct Case {
    double value;
    const char* text;
  } doubles[] = {{0.5, ".5"},
                 {306, "306"},
                 {306.5, "306.5"},
                 {-0.25, "-.25"},
                 {1e15, "1000000000000000"},
                 {0.001, ".001"},
                 {12 * static_cast<double>(14.0f / 12.0f), "13.9999995231628"},
                 {1.0 / 3.0, ".333333333333333"},
                 {2.0 / 3.0, ".666666666666667"},
                 {-1234.5, "-1234.5"},
                 {0.0, "0"}};
  for (const Case& c : doubles) EXPECT_EQ(FormatNumber(c.value), c.text) << c.value;
  EXPECT_EQ(FormatNumber(1.0f / 3.0f), ".3333333");
  EXPECT_EQ(FormatNumber(14.0f / 12.0f), "1.166667");
  EXPECT_EQ(FormatNumber(432.0f), "432");
  // Never an exponent, never a locale's comma.
  EXPECT_EQ(FormatNumber(1.5e-7), ".00000015");
  EXPECT_EQ(FormatNumber(INFINITY), "0");
}

TEST(ReadNumber, ReadsTheLeadingNumberLeniently) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"10pt", 10},      {"8.5\" x 11\"", 8.5},
      {"1\"", 1},        {"0.25\"", 0.25},
      {"1 2", 12},       {" \t-3.5e2x", -350},
      {"1d2", 100},      {"1E", 1},
      {"1e+", 1},        {".5", 0.5},
      {"5.", 5},         {"+7", 7},
      {"- 3", -3},       {"abc", 0},
      {"", 0},           {"-", 0},
      {"1.2.3", 1.2},    {"&HFF", 255},
      {"&hff", 255},     {"&HFFFF", 65535},
      {"&H8000", 32768}, {"&H100000000", 4294967296.0},
      {"&O17", 15},      {"&H", 0},
      {"&", 0},          {"12pt ", 12},
      {"x 11\"", 0},     {" 11\"", 11},
      {"2.5\"", 2.5},    {"1e-400", 0},
      {"90\xBA", 90},    {"3 -s5", 3},
      {"\n4", 4},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << '"' << c.text << '"';
  EXPECT_TRUE(std::isinf(ReadNumber("1e999")));
  EXPECT_TRUE(std::isinf(ReadNumber("-1e999")));
}

TEST(Fixed4, SumsStayExact) {
  Fixed4 cursor = Fixed4::FromInt(36);
  for (int i = 0; i < 1000; ++i) cursor = cursor + Fixed4::FromDouble(13.2);
  EXPECT_EQ(cursor.ticks(), 360000 + 1000 * 132000);
  EXPECT_EQ(Fixed4::FromDouble(11 * 1.2).ticks(), 132000);
  EXPECT_EQ(Fixed4::FromDouble(0.00005).ticks(), 0);  // half to even
  EXPECT_EQ(Fixed4::FromDouble(NAN).ticks(), 0);
}

}  // namespace
}  // namespace vellumox
