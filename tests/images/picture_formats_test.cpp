#include "images/picture_formats.h"

#include <gtest/gtest.h>

#include <set>

namespace vellumox {
namespace {

std::string ToUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string Bytes(std::initializer_list<int> values, std::string tail = "") {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out + tail;
}

TEST(SniffImageFormat, TellsFormatsFromTheirFirstBytes) {
  std::string emf(44, '\0');
  emf[0] = 1;
  emf.replace(40, 4, " EMF");
  std::string tga = Bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 10, 0, 24, 0});
  struct Case {
    std::string head;
    std::string name;
    ImageFormat format;
  } cases[] = {
      {Bytes({0xFF, 0xD8, 0xFF, 0xE0}), "a.jpg", ImageFormat::kJpeg},
      {"\x89PNG\r\n\x1A\n....", "a.jpg", ImageFormat::kPng},  // the bytes decide, not the name
      {"GIF89a..", "a.gif", ImageFormat::kGif},
      {"GIF87a..", "a.gif", ImageFormat::kGif},
      {"BM" + std::string(30, '\0'), "a.rle", ImageFormat::kBmp},
      {Bytes({'I', 'I', 42, 0}), "a.tif", ImageFormat::kTiff},
      {Bytes({'M', 'M', 0, 42}), "a.tif", ImageFormat::kTiff},
      {"8BPS", "a.psd", ImageFormat::kPsd},
      {Bytes({0x0A, 5, 1, 8}), "a.pcx", ImageFormat::kPcx},
      {Bytes({0, 0, 1, 0, 1, 0}), "a.ico", ImageFormat::kIco},
      {Bytes({0xD7, 0xCD, 0xC6, 0x9A}), "a.wmf", ImageFormat::kWmf},
      {Bytes({1, 0, 9, 0, 0, 3}), "a.wmf", ImageFormat::kWmf},
      {emf, "a.emf", ImageFormat::kEmf},
      {tga, "a.TGA", ImageFormat::kTga},
      {tga, "a.png", ImageFormat::kUnknown},  // TGA only by its name
      {"%!PS-Adobe-3.0\n", "a.png", ImageFormat::kUnknown},
      {"%!PS-Adobe-3.0 EPSF and more bytes to be long", "a.tga", ImageFormat::kUnknown},
      {"<?xml version=\"1.0\"?><svg", "a.png", ImageFormat::kUnknown},
      {"<svg xmlns=", "a.jpg", ImageFormat::kUnknown},
      {"%PDF-1.4", "a.jpg", ImageFormat::kUnknown},
      {"", "a.jpg", ImageFormat::kUnknown},
      {Bytes({0xFF, 0xD8}), "a.jpg", ImageFormat::kUnknown},
      {Bytes({0, 0, 1, 0, 0, 0}), "a.ico", ImageFormat::kUnknown},     // no icons
      {Bytes({1, 0, 0, 0}, "short"), "a.emf", ImageFormat::kUnknown},  // too short for " EMF"
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SniffImageFormat(c.head, c.name), c.format) << c.name << " " << c.head;
  }
}

TEST(PictureFormats, EachFormatOnceAndEachTypeNamesOne) {
  std::set<ImageFormat> formats;
  for (const PictureFormat& f : kPictureFormats) {
    EXPECT_TRUE(formats.insert(f.format).second) << f.coder;
    EXPECT_EQ(FormatName(f.format), f.coder);
  }
  EXPECT_EQ(formats.size(), static_cast<size_t>(kImageFormatCount));
  for (const PictureType& type : kPictureTypes) {
    EXPECT_TRUE(formats.count(type.format)) << type.extension;
    EXPECT_EQ(PictureTypeOfName("A/B" + ToUpper(type.extension)), &type) << type.extension;
  }
  EXPECT_EQ(PictureTypeOfName("photo.jpeg.txt"), nullptr);
  EXPECT_EQ(std::string(PictureTypeOfName("x.RLE")->promise), "an RLE");
}

// Each program lists the types in its own order, the optional ones after its own.
TEST(PictureFormats, EachListKeepsItsOrder) {
  EXPECT_EQ(PatternList(kConverterPatternOrder, ";"), ";*.jpg;*.gif;*.bmp;*.wmf;*.emf;*.rle;*.ico");
  EXPECT_EQ(PatternList(kConverterFileTypeOrder, ";"), ";*.jpg;*.bmp;*.gif;*.wmf;*.emf;*.rle");
  EXPECT_EQ(PatternList(kAlbumBuilderOrder, ";"), ";*.jpg;*.bmp;*.gif;*.emf;*.wmf");
  EXPECT_EQ(PatternList(OptionalTypeOrder(), ";"), ";*.tif;*.png;*.tga;*.pcx;*.psd");
}

}  // namespace
}  // namespace vellumox
