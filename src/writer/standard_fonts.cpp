#include "writer/standard_fonts.h"

#include <algorithm>

#include "writer/pdf_string.h"

namespace vellumox {

namespace {

// A font name as a PDF name: characters that a name cannot hold literally are written as #xx.
// The names of the font table pass unchanged.
std::string PdfNameText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    bool delimiter = c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' ||
                     c == '{' || c == '}' || c == '/' || c == '%' || c == '#';
    if (c < 0x21 || c > 0x7E || delimiter) {
      out += '#';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

void StandardFont::Shape(std::string_view text, std::vector<ShapedGlyph>& glyphs) const {
  glyphs.clear();
  glyphs.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    glyphs.push_back({c, widths_[c], static_cast<uint32_t>(i)});
  }
}

int64_t StandardFont::Width(std::string_view text) const {
  int64_t sum = 0;
  for (unsigned char c : text) sum += widths_[c];
  return sum;
}

TextFit StandardFont::Fit(std::string_view text, int64_t max_width, size_t max_encoded) const {
  // The advances alone first, in a loop of one test a byte; the string bytes of what fits are
  // then counted sixteen bytes at a time. Only when that count reaches max_encoded within the
  // fit does the walk go again, byte by byte, for where it does. No more than max_encoded
  // characters are looked at: each takes at least one byte.
  const size_t most = std::min(text.size(), max_encoded);
  size_t fitting = 0;
  int64_t sum = 0;
  while (fitting < most) {
    sum += widths_[static_cast<unsigned char>(text[fitting])];
    if (sum > max_width) break;
    ++fitting;
  }
  if (fitting == 0 && !text.empty()) fitting = 1;  // the first character, which goes alone
  const size_t encoded = fitting + CountEscaped(text.substr(0, fitting));
  // Every character was looked at while fewer than max_encoded bytes were taken before it.
  if (fitting == 0 || encoded - (TakesBackslash(text[fitting - 1]) ? 2 : 1) < max_encoded) {
    return {fitting, encoded};
  }
  TextFit fit;
  while (fit.characters < fitting && fit.encoded < max_encoded) {
    fit.encoded += TakesBackslash(text[fit.characters]) ? 2 : 1;
    fit.characters += 1;
  }
  return fit;
}

void StandardFont::Encode(std::span<const ShownText> texts, double, std::string& out) const {
  bool array = texts.size() > 1;
  for (const ShownText& text : texts) array = array || text.gap != 0;
  if (array) out += '[';
  for (size_t k = 0; k < texts.size(); ++k) {
    if (k > 0) out += ' ';
    // An adjustment moves the pen left by its thousandths: a gap is a negative one.
    if (texts[k].gap != 0) out += std::to_string(-texts[k].gap) + " ";
    out += '(';
    AppendEscaped(texts[k].text, out);
    out += ')';
  }
  if (array) out += ']';
}

size_t StandardFont::EncodedLength(std::string_view text) const {
  return text.size() + CountEscaped(text);
}

void StandardFont::WriteObjects(PdfObjectSink& sink) const {
  sink.BeginObject(object_);
  sink.Line("<<");
  sink.Line("/Type /Font");
  sink.Line("/Subtype /Type1");
  sink.Line("/Name /" + resource_);
  sink.Line("/Encoding " + std::to_string(encoding_object_) + " 0 R");
  sink.Line("/BaseFont /" + base_font_);
  sink.Line(">>");
  sink.Line("endobj");
}

StandardFonts::StandardFonts(std::string_view font_name) : document_index_(FontIndexOf(font_name)) {
  fonts_[0] =
      std::make_unique<StandardFont>("F0", PdfNameText(font_name), FaceStyleOf(document_index_),
                                     GlyphWidthsOf(document_index_), encoding_object_);
  for (int i = 1; i <= kFontCount; ++i) {
    const FontEntry& entry = FontTable[static_cast<size_t>(i - 1)];
    fonts_[static_cast<size_t>(i)] =
        std::make_unique<StandardFont>("F" + std::to_string(i), std::string(entry.name),
                                       FaceStyleOf(i - 1), GlyphWidthsOf(i - 1), encoding_object_);
  }
}

void StandardFonts::ReserveObjects(ObjectTable& objects) {
  for (auto& font : fonts_) font->ReserveObjects(objects);
  encoding_object_ = objects.Reserve();
}

void StandardFonts::WriteObjects(PdfObjectSink& sink) const {
  for (const auto& font : fonts_) font->WriteObjects(sink);
  sink.BeginObject(encoding_object_);
  sink.Line("<<");
  sink.Line("/Type /Encoding");
  sink.Line("/BaseEncoding /WinAnsiEncoding");
  sink.Line(">>");
  sink.Line("endobj");
}

}  // namespace vellumox
