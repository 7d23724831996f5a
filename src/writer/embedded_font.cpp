#include "writer/embedded_font.h"

#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "writer/code_page.h"
#include "writer/flate.h"
#include "writer/number_text.h"
#include "writer/pdf_string.h"
#include "writer/writer_error.h"

namespace vellumox {

namespace {

std::string Reference(int32_t n) {
  return std::to_string(n) + " 0 R";
}

// The number of characters of UTF-8 text.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (size_t at = 0; at < text.size(); ++count) NextCodePoint(text, at);
  return count;
}

// A PostScript name as a PDF name may hold it without escapes.
std::string NameText(std::string_view name) {
  std::string out;
  for (char c : name) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '_' || c == '.') {
      out += c;
    }
  }
  return out.empty() ? "Embedded" : out;
}

int16_t BigEndian16(const char* p) {
  return static_cast<int16_t>(static_cast<uint8_t>(p[0]) << 8 | static_cast<uint8_t>(p[1]));
}

// The bytes of a table of the face (empty when it has none).
std::string Table(hb_face_t* face, hb_tag_t tag) {
  hb_blob_t* blob = hb_face_reference_table(face, tag);
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob, &length);
  std::string bytes(data ? data : "", data ? length : 0);
  hb_blob_destroy(blob);
  return bytes;
}

std::string Deflated(std::string_view data) {
  return FlateCompressor(9).Compress(data);
}

}  // namespace

struct EmbeddedFont::Face {
  hb_blob_t* blob = nullptr;
  hb_face_t* face = nullptr;
  hb_font_t* font = nullptr;
  hb_buffer_t* buffer = nullptr;
  unsigned upem = 1000;
  ~Face() {
    hb_buffer_destroy(buffer);
    hb_font_destroy(font);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
  }
  // Font units in thousandths of an em.
  int32_t Thousandths(hb_position_t units) const {
    return static_cast<int32_t>(std::lround(static_cast<double>(units) * 1000.0 / upem));
  }
};

std::unique_ptr<EmbeddedFont> EmbeddedFont::Open(const std::string& path, unsigned index,
                                                 std::string resource) {
  auto face = std::make_unique<Face>();
  face->blob = hb_blob_create_from_file_or_fail(path.c_str());
  if (!face->blob) return nullptr;
  face->face = hb_face_create(face->blob, index);
  // TrueType outlines only: the PDF stays 1.3, and a colour-bitmap face has nothing to draw.
  if (Table(face->face, HB_TAG('g', 'l', 'y', 'f')).empty() ||
      Table(face->face, HB_TAG('h', 'e', 'a', 'd')).size() < 54) {
    return nullptr;
  }
  face->upem = hb_face_get_upem(face->face);
  if (face->upem == 0) return nullptr;
  face->font = hb_font_create(face->face);
  hb_font_set_scale(face->font, static_cast<int>(face->upem), static_cast<int>(face->upem));
  face->buffer = hb_buffer_create();
  if (!hb_buffer_allocation_successful(face->buffer)) return nullptr;
  return std::unique_ptr<EmbeddedFont>(new EmbeddedFont(std::move(face), std::move(resource)));
}

EmbeddedFont::EmbeddedFont(std::unique_ptr<Face> face, std::string resource)
    : face_(std::move(face)), resource_(std::move(resource)) {
  char name[128];
  unsigned size = sizeof name;
  hb_ot_name_get_utf8(face_->face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, name);
  name_ = NameText(std::string_view(name, size));
}

EmbeddedFont::~EmbeddedFont() = default;

bool EmbeddedFont::Covers(char32_t character) const {
  hb_codepoint_t glyph = 0;
  return hb_font_get_nominal_glyph(face_->font, character, &glyph) && glyph != 0;
}

void EmbeddedFont::Shape(std::string_view text, std::vector<ShapedGlyph>& glyphs) const {
  ShapeInto(text, TextDirection::kNatural, glyphs);
}

void EmbeddedFont::ShapeInto(std::string_view text, TextDirection direction,
                             std::vector<ShapedGlyph>& glyphs) const {
  glyphs.clear();
  if (text.empty()) return;
  // One buffer for every run: shaping is the most frequent thing this font does.
  hb_buffer_t* buffer = face_->buffer;
  hb_buffer_clear_contents(buffer);
  hb_buffer_add_utf8(buffer, text.data(), static_cast<int>(text.size()), 0,
                     static_cast<int>(text.size()));
  if (direction == TextDirection::kRightToLeft) hb_buffer_set_direction(buffer, HB_DIRECTION_RTL);
  hb_buffer_guess_segment_properties(buffer);  // the script, and the direction it writes in
  hb_shape(face_->font, buffer, nullptr, 0);
  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &count);
  glyphs.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    glyphs.push_back({info[i].codepoint, face_->Thousandths(position[i].x_advance), info[i].cluster,
                      face_->Thousandths(position[i].x_offset),
                      face_->Thousandths(position[i].y_offset)});
  }
}

int64_t EmbeddedFont::Width(std::string_view text) const {
  ShapeInto(text, TextDirection::kNatural, scratch_);
  int64_t sum = 0;
  for (const ShapedGlyph& glyph : scratch_) sum += glyph.advance;
  return sum;
}

TextFit EmbeddedFont::Fit(std::string_view text, int64_t max_width, size_t max_encoded) const {
  std::vector<ShapedGlyph> glyphs;
  Shape(text, glyphs);
  // The width of each cluster, in the text's order.
  std::map<uint32_t, int64_t> clusters;
  for (const ShapedGlyph& glyph : glyphs) clusters[glyph.cluster] += glyph.advance;
  TextFit fit;
  int64_t sum = 0;
  for (auto it = clusters.begin(); it != clusters.end() && fit.encoded < max_encoded; ++it) {
    sum += it->second;
    if (sum > max_width && fit.characters > 0) break;
    auto next = std::next(it);
    const size_t end = next == clusters.end() ? text.size() : next->first;
    fit.characters = end;  // bytes of whole clusters
    fit.encoded = CharacterCount(text.substr(0, end));
    if (sum > max_width) break;  // the first cluster, which goes alone
  }
  return fit;
}

uint32_t EmbeddedFont::CidFor(uint32_t glyph, std::string_view text) const {
  auto [it, fresh] = cid_of_.try_emplace({glyph, std::string(text)}, 0);
  if (!fresh) return it->second;
  // Two-byte codes hold 65,535 CIDs; a document showing more pairs than that (never seen in
  // practice) shows the rest with the glyph's first CID, so only their text is approximate.
  if (next_cid_ > 0xFFFF) {
    for (const auto& [cid, entry] : cids_) {
      if (entry.glyph == glyph) return it->second = cid;
    }
  }
  const uint32_t cid = next_cid_ > 0xFFFF ? 0 : next_cid_++;
  if (cid != 0) cids_[cid] = {glyph, std::string(text)};
  return it->second = cid;
}

void EmbeddedFont::Encode(std::string_view text, TextDirection direction, double size,
                          std::string& out) const {
  ShapeInto(text, direction, scratch_);
  const std::vector<ShapedGlyph>& glyphs = scratch_;
  // Each glyph is drawn at the pen plus its offset, and a reader moves on by the glyph's width
  // in the W array (its advance in the face); where the shaper puts it elsewhere, or moves
  // the pen by another amount, an adjustment in thousandths of the size comes first. drift is
  // how far the reader's position stands right of the shaper's pen. A glyph raised off the
  // baseline (a mark stacked on another) is shown with a text rise, in a "TJ" of its own.
  std::string codes = "<";
  bool adjusted = false;
  int64_t drift = 0;
  int32_t rise = 0;
  char digits[24];
  auto adjust = [&](int64_t by) {  // moves the reader's position by -by thousandths
    if (by == 0) return;
    std::snprintf(digits, sizeof digits, "> %lld <", static_cast<long long>(by));
    codes += digits;
    adjusted = true;
  };
  auto raise = [&](int32_t to) {
    codes += "> ] TJ " + FormatNumber(static_cast<double>(to) * size / 1000.0) + " Ts [ <";
    rise = to;
    adjusted = true;
  };
  // The characters of a cluster run from its start to the next cluster's (in the text's
  // order, which right-to-left glyphs run against).
  std::vector<uint32_t> starts;
  starts.reserve(glyphs.size());
  for (const ShapedGlyph& glyph : glyphs) starts.push_back(glyph.cluster);
  std::sort(starts.begin(), starts.end());
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const ShapedGlyph& glyph = glyphs[i];
    const auto next = std::upper_bound(starts.begin(), starts.end(), glyph.cluster);
    const size_t end = next == starts.end() ? text.size() : *next;
    const bool first_of_cluster = i == 0 || glyphs[i - 1].cluster != glyph.cluster;
    const uint32_t cid = CidFor(
        glyph.glyph, first_of_cluster ? text.substr(glyph.cluster, end - glyph.cluster) : "");
    if (glyph.rise != rise) raise(glyph.rise);
    adjust(drift - glyph.offset);
    const int32_t width = face_->Thousandths(hb_font_get_glyph_h_advance(face_->font, glyph.glyph));
    drift = glyph.offset + width - glyph.advance;
    std::snprintf(digits, sizeof digits, "%04X", cid);
    codes += digits;
  }
  adjust(drift);  // the next run starts where the shaper's pen ends
  if (rise != 0) raise(0);
  codes += '>';
  if (!adjusted) {
    out += codes;
    return;
  }
  // Adjustments make an array; strings left empty by them are dropped.
  out += '[';
  for (size_t at = 0; at < codes.size();) {
    if (codes.compare(at, 2, "<>") == 0) {
      at += 2;
      while (at < codes.size() && codes[at] == ' ') ++at;
      continue;
    }
    out += codes[at++];
  }
  while (out.back() == ' ') out.pop_back();
  out += ']';
}

size_t EmbeddedFont::EncodedLength(std::string_view text) const {
  return CharacterCount(text);
}

void EmbeddedFont::ReserveObjects(ObjectTable& objects) {
  type0_ = objects.Reserve();
  cid_font_ = objects.Reserve();
  descriptor_ = objects.Reserve();
  font_file_ = objects.Reserve();
  to_unicode_ = objects.Reserve();
  cid_map_ = objects.Reserve();
}

std::string EmbeddedFont::SubsetTag() const {
  uint32_t hash = 2166136261u;
  for (const auto& [cid, entry] : cids_) hash = (hash ^ entry.glyph) * 16777619u;
  std::string tag(6, 'A');
  for (char& c : tag) {
    c = static_cast<char>('A' + hash % 26);
    hash /= 26;
  }
  return tag;
}

std::string EmbeddedFont::WidthArray() const {
  // CIDs are handed out in order from 1, so one run of widths holds them all.
  std::string w = "[ 1 [";
  for (const auto& [cid, entry] : cids_) {
    w += " " +
         std::to_string(face_->Thousandths(hb_font_get_glyph_h_advance(face_->font, entry.glyph)));
  }
  return cids_.empty() ? "[ ]" : w + " ] ]";
}

std::string EmbeddedFont::ToUnicodeCMap() const {
  std::string cmap =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  std::vector<std::pair<uint32_t, const std::string*>> pairs;
  for (const auto& [cid, entry] : cids_) {
    if (!entry.text.empty()) pairs.emplace_back(cid, &entry.text);
  }
  char code[8];
  for (size_t start = 0; start < pairs.size(); start += 100) {
    const size_t n = std::min<size_t>(100, pairs.size() - start);
    cmap += std::to_string(n) + " beginbfchar\n";
    for (size_t k = start; k < start + n; ++k) {
      std::snprintf(code, sizeof code, "%04X", pairs[k].first & 0xFFFF);
      cmap += "<" + std::string(code) + "> <" + Utf16BigEndianHex(*pairs[k].second) + ">\n";
    }
    cmap += "endbfchar\n";
  }
  return cmap + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

void EmbeddedFont::WriteObjects(PdfObjectSink& sink) const {
  // The subset holds the glyphs shown (and the parts of composite ones), renumbered; the
  // layout tables go, since a reader draws the glyphs as the pages place them.
  hb_subset_input_t* input = hb_subset_input_create_or_fail();
  if (!input) throw WriterError("Out of memory.");
  hb_set_t* glyphs = hb_subset_input_glyph_set(input);
  hb_set_add(glyphs, 0);
  for (const auto& [cid, entry] : cids_) hb_set_add(glyphs, entry.glyph);
  hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
  for (hb_tag_t tag : {HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'),
                       HB_TAG('G', 'D', 'E', 'F'), HB_TAG('k', 'e', 'r', 'n')}) {
    hb_set_add(dropped, tag);
  }
  hb_subset_plan_t* plan = hb_subset_plan_create_or_fail(face_->face, input);
  hb_subset_input_destroy(input);
  hb_face_t* subset = plan ? hb_subset_plan_execute_or_fail(plan) : nullptr;
  if (!subset) {
    hb_subset_plan_destroy(plan);
    throw WriterError("Cannot embed the font " + name_ + ".");
  }
  // Two bytes a CID: the glyph that shows it in the subset.
  const hb_map_t* new_glyph = hb_subset_plan_old_to_new_glyph_mapping(plan);
  std::string cid_map(2 * (cids_.size() + 1), '\0');
  for (const auto& [cid, entry] : cids_) {
    const hb_codepoint_t g = hb_map_get(new_glyph, entry.glyph);
    cid_map[2 * cid] = static_cast<char>(g >> 8 & 0xFF);
    cid_map[2 * cid + 1] = static_cast<char>(g & 0xFF);
  }
  hb_subset_plan_destroy(plan);
  hb_blob_t* blob = hb_face_reference_blob(subset);
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob, &length);
  const std::string program(data ? data : "", data ? length : 0);
  hb_blob_destroy(blob);
  hb_face_destroy(subset);

  const std::string base = "/" + SubsetTag() + "+" + name_;
  const std::string head = Table(face_->face, HB_TAG('h', 'e', 'a', 'd'));
  auto em = [&](int16_t units) { return std::to_string(face_->Thousandths(units)); };
  const std::string bbox = "[ " + em(BigEndian16(&head[36])) + " " + em(BigEndian16(&head[38])) +
                           " " + em(BigEndian16(&head[40])) + " " + em(BigEndian16(&head[42])) +
                           " ]";
  hb_position_t ascent = 0, descent = 0, cap = 0;
  hb_ot_metrics_get_position_with_fallback(face_->font, HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER,
                                           &ascent);
  hb_ot_metrics_get_position_with_fallback(face_->font, HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER,
                                           &descent);
  hb_ot_metrics_get_position_with_fallback(face_->font, HB_OT_METRICS_TAG_CAP_HEIGHT, &cap);
  const std::string post = Table(face_->face, HB_TAG('p', 'o', 's', 't'));
  const double italic =
      post.size() >= 8
          ? BigEndian16(&post[4]) + static_cast<uint16_t>(BigEndian16(&post[6])) / 65536.0
          : 0;
  const bool fixed = post.size() >= 16 && (post[12] | post[13] | post[14] | post[15]) != 0;
  const int flags = 4 | (fixed ? 1 : 0) | (italic != 0 ? 64 : 0);
  char angle[32];
  std::snprintf(angle, sizeof angle, "%g", std::round(italic * 10) / 10);

  sink.BeginObject(type0_);
  sink.Line("<< /Type /Font /Subtype /Type0 /BaseFont " + base + " /Encoding /Identity-H");
  sink.Line("   /DescendantFonts [ " + Reference(cid_font_) + " ] /ToUnicode " +
            Reference(to_unicode_) + " >>");
  sink.Line("endobj");
  sink.BeginObject(cid_font_);
  sink.Line("<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + base);
  sink.Line("   /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>");
  sink.Line("   /FontDescriptor " + Reference(descriptor_) + " /CIDToGIDMap " +
            Reference(cid_map_));
  sink.Line("   /DW 1000 /W " + WidthArray() + " >>");
  sink.Line("endobj");
  sink.BeginObject(descriptor_);
  sink.Line("<< /Type /FontDescriptor /FontName " + base + " /Flags " + std::to_string(flags));
  sink.Line("   /FontBBox " + bbox + " /ItalicAngle " + angle + " /Ascent " +
            std::to_string(face_->Thousandths(ascent)) + " /Descent " +
            std::to_string(face_->Thousandths(descent)) + " /CapHeight " +
            std::to_string(face_->Thousandths(cap)) + " /StemV 80");
  sink.Line("   /FontFile2 " + Reference(font_file_) + " >>");
  sink.Line("endobj");
  sink.StreamObject(font_file_, "/Filter /FlateDecode /Length1 " + std::to_string(program.size()),
                    Deflated(program));
  sink.StreamObject(to_unicode_, "", ToUnicodeCMap());
  sink.StreamObject(cid_map_, "/Filter /FlateDecode", Deflated(cid_map));
}

}  // namespace vellumox
