#include "writer/embedded_font.h"

#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "writer/code_page.h"
#include "writer/flate.h"
#include "writer/number_text.h"
#include "writer/pdf_string.h"
#include "writer/text_clusters.h"
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
  hb_blob_t* loca = nullptr;  // where each glyph's outline lies in the glyf table
  unsigned glyf_length = 0;
  unsigned glyph_count = 0;
  bool long_offsets = false;
  unsigned upem = 1000;
  ~Face() {
    hb_blob_destroy(loca);
    hb_buffer_destroy(buffer);
    hb_font_destroy(font);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
  }
  // Whether a glyph's outline lies within the glyf table, as its loca entries say: a face whose
  // tables are cut short (a broken file) would draw such a glyph as nothing.
  // needs_outline: the glyph shows a character that is drawn (not a blank or an invisible
  // control), so an empty outline would show nothing; some faces map characters they do not
  // draw to such glyphs.
  bool GlyphIntact(hb_codepoint_t glyph, bool needs_outline) const {
    if (glyph >= glyph_count) return false;
    unsigned length = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(hb_blob_get_data(loca, &length));
    const unsigned size = long_offsets ? 4 : 2;
    if (!p || (glyph + 2) * size > length) return false;
    auto offset = [&](unsigned g) -> uint64_t {
      const uint8_t* e = p + g * size;
      return long_offsets ? (uint64_t{e[0]} << 24 | e[1] << 16 | e[2] << 8 | e[3])
                          : 2 * (uint64_t{e[0]} << 8 | e[1]);
    };
    const uint64_t start = offset(glyph), end = offset(glyph + 1);
    return start <= end && end <= glyf_length && (end > start || !needs_outline);
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
  // What tells whether a glyph's outline is there (GlyphIntact).
  const std::string head = Table(face->face, HB_TAG('h', 'e', 'a', 'd'));
  face->long_offsets = BigEndian16(&head[50]) != 0;
  face->glyph_count = hb_face_get_glyph_count(face->face);
  face->loca = hb_face_reference_table(face->face, HB_TAG('l', 'o', 'c', 'a'));
  hb_blob_t* glyf = hb_face_reference_table(face->face, HB_TAG('g', 'l', 'y', 'f'));
  face->glyf_length = hb_blob_get_length(glyf);
  hb_blob_destroy(glyf);
  face->font = hb_font_create(face->face);
  hb_font_set_scale(face->font, static_cast<int>(face->upem), static_cast<int>(face->upem));
  face->buffer = hb_buffer_create();
  if (!hb_buffer_allocation_successful(face->buffer)) return nullptr;
  return std::unique_ptr<EmbeddedFont>(new EmbeddedFont(std::move(face), std::move(resource)));
}

EmbeddedFont::EmbeddedFont(std::unique_ptr<Face> face, std::string resource)
    : face_(std::move(face)) {
  instances_.push_back(std::make_unique<Instance>());
  instances_.back()->resource = std::move(resource);
  char name[128];
  unsigned size = sizeof name;
  hb_ot_name_get_utf8(face_->face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, name);
  name_ = NameText(std::string_view(name, size));
}

EmbeddedFont::~EmbeddedFont() = default;

namespace {

// Characters that are drawn as nothing: blanks, controls, format characters and the other
// default-ignorable code points (fillers, variation selectors, tags).
bool DrawnAsNothing(char32_t c) {
  switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
    case HB_UNICODE_GENERAL_CATEGORY_SPACE_SEPARATOR:
    case HB_UNICODE_GENERAL_CATEGORY_LINE_SEPARATOR:
    case HB_UNICODE_GENERAL_CATEGORY_PARAGRAPH_SEPARATOR:
    case HB_UNICODE_GENERAL_CATEGORY_CONTROL:
    case HB_UNICODE_GENERAL_CATEGORY_FORMAT:
    case HB_UNICODE_GENERAL_CATEGORY_UNASSIGNED:
      return true;
    default:
      break;
  }
  return c == 0x034F || c == 0x115F || c == 0x1160 || c == 0x17B4 || c == 0x17B5 ||
         (c >= 0x180B && c <= 0x180F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) ||
         c == 0xFFA0 || (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0xE0000 && c <= 0xE0FFF);
}

}  // namespace

bool EmbeddedFont::Covers(char32_t character) const {
  hb_codepoint_t glyph = 0;
  return hb_font_get_nominal_glyph(face_->font, character, &glyph) && glyph != 0 &&
         face_->GlyphIntact(glyph, !DrawnAsNothing(character));
}

void EmbeddedFont::Shape(std::string_view text, std::vector<ShapedGlyph>& glyphs) const {
  ShapeInto(text, std::nullopt, glyphs);
}

namespace {

// Characters that are shaped alone, each a word of its own: ideographs, kana and the marks of
// Chinese and Japanese text, which is written without blanks between words and whose glyphs
// never join or reorder.
bool ShapedAlone(char32_t c) {
  return (c >= 0x2E80 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

// The end of the word of a text that starts at `at`: a blank alone, an ideograph (with the
// marks after it) alone, or the characters up to the next blank or ideograph.
size_t WordEnd(std::string_view text, size_t at) {
  if (text[at] == ' ') return ClusterEnd(text, at);
  size_t next = at;
  if (ShapedAlone(NextCodePoint(text, next))) return ClusterEnd(text, at);
  while (next < text.size() && text[next] != ' ') {
    size_t after = next;
    if (ShapedAlone(NextCodePoint(text, after))) break;
    next = after;
  }
  return next;
}

}  // namespace

template <class Use>
void EmbeddedFont::ForEachWord(std::string_view text, std::optional<TextDirection> direction,
                               Use use) const {
  if (text.empty()) return;
  // The run's properties, as the shaper would guess them from the whole run: its script is
  // that of its first character of a real script. A run is drawn in the direction of its
  // bidirectional level alone, never a guess from its script: Arabic-Indic digits stand at a
  // left-to-right level inside right-to-left text, and a guess from their script would draw
  // every number backwards. A text that is measured is shaped in its script's direction, as
  // its words are drawn (kerning and joining differ between the two directions).
  hb_script_t script = HB_SCRIPT_INVALID;
  hb_unicode_funcs_t* funcs = hb_unicode_funcs_get_default();
  for (size_t at = 0; at < text.size();) {
    const hb_script_t s = hb_unicode_script(funcs, NextCodePoint(text, at));
    if (s != HB_SCRIPT_COMMON && s != HB_SCRIPT_INHERITED && s != HB_SCRIPT_UNKNOWN) {
      script = s;
      break;
    }
  }
  bool right_to_left = false;
  if (direction) {
    right_to_left = *direction == TextDirection::kRightToLeft;
  } else {
    right_to_left = hb_script_get_horizontal_direction(script) == HB_DIRECTION_RTL;
  }
  // Word by word (no glyph joins or kerns across a blank), each shaped once while the face
  // keeps it; a right-to-left run shows its last word first. Each word is used before the
  // next is looked up, which may make way for it.
  std::vector<std::pair<uint32_t, uint32_t>>& bounds = bounds_scratch_;
  bounds.clear();
  for (size_t at = 0; at < text.size();) {
    const size_t end = WordEnd(text, at);
    bounds.emplace_back(static_cast<uint32_t>(at), static_cast<uint32_t>(end));
    at = end;
  }
  std::string& key = key_scratch_;
  key.assign(reinterpret_cast<const char*>(&script), sizeof script);
  key += right_to_left ? 'r' : 'l';
  const size_t prefix = key.size();
  for (size_t k = 0; k < bounds.size(); ++k) {
    const auto [begin, end] = bounds[right_to_left ? bounds.size() - 1 - k : k];
    const std::string_view word_text = text.substr(begin, end - begin);
    key.resize(prefix);
    key += word_text;
    ShapedWord* word = words_.Find(key);
    if (!word) {
      word = &words_.Add(key);
      ShapeWord(word_text, script, right_to_left, word->glyphs);
      for (const ShapedGlyph& glyph : word->glyphs) word->advance += glyph.advance;
    }
    use(*word, word_text, begin, right_to_left);
  }
}

void EmbeddedFont::ShapeInto(std::string_view text, std::optional<TextDirection> direction,
                             std::vector<ShapedGlyph>& glyphs) const {
  glyphs.clear();
  ForEachWord(text, direction, [&](const ShapedWord& word, std::string_view, size_t start, bool) {
    for (ShapedGlyph glyph : word.glyphs) {
      glyph.cluster += static_cast<uint32_t>(start);
      glyphs.push_back(glyph);
    }
  });
}

void EmbeddedFont::ShapeWord(std::string_view text, uint32_t script, bool right_to_left,
                             std::vector<ShapedGlyph>& glyphs) const {
  glyphs.clear();
  hb_buffer_t* buffer = face_->buffer;
  hb_segment_properties_t properties = HB_SEGMENT_PROPERTIES_DEFAULT;
  properties.script = static_cast<hb_script_t>(script);
  properties.direction = right_to_left ? HB_DIRECTION_RTL : HB_DIRECTION_LTR;
  properties.language = hb_language_get_default();
  // The word is shaped in pieces that end where the Stream-Safe limit starts a new cluster
  // (text_clusters.h), so that no cluster the shaper sees is longer than that; a word without
  // such a pile of marks is one piece. Each piece sees the word around it as its context.
  for (size_t begin = 0; begin < text.size();) {
    size_t end = NextForcedClusterStart(text, begin);
    if (end == std::string_view::npos) end = text.size();
    hb_buffer_clear_contents(buffer);
    hb_buffer_add_utf8(buffer, text.data(), static_cast<int>(text.size()),
                       static_cast<unsigned>(begin), static_cast<int>(end - begin));
    hb_buffer_set_segment_properties(buffer, &properties);
    hb_shape(face_->font, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &count);
    std::vector<ShapedGlyph> piece;
    std::vector<ShapedGlyph>& into = begin == 0 ? glyphs : piece;
    into.reserve(into.size() + count);
    for (unsigned i = 0; i < count; ++i) {
      into.push_back({info[i].codepoint, face_->Thousandths(position[i].x_advance), info[i].cluster,
                      face_->Thousandths(position[i].x_offset),
                      face_->Thousandths(position[i].y_offset)});
    }
    // A later piece stands after the ones before it in the run's order of showing.
    if (begin > 0) {
      glyphs.insert(HB_DIRECTION_IS_BACKWARD(properties.direction) ? glyphs.begin() : glyphs.end(),
                    piece.begin(), piece.end());
    }
    begin = end;
  }
}

int64_t EmbeddedFont::Width(std::string_view text) const {
  int64_t sum = 0;
  ForEachWord(text, std::nullopt,
              [&](const ShapedWord& word, std::string_view, size_t, bool) { sum += word.advance; });
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

uint32_t EmbeddedFont::CidFor(uint32_t glyph, std::string_view text, int32_t width,
                              bool& switched) const {
  Instance* in = instances_.back().get();
  auto found = in->cid_of.find({glyph, std::string(text), width});
  if (found != in->cid_of.end()) return found->second;
  if (in->next_cid > cid_limit_ && objects_ && namer_) {
    // Two-byte codes hold 65,535 CIDs: a document that shows more glyph and text pairs in this
    // face goes on in a new instance of it.
    instances_.push_back(std::make_unique<Instance>());
    in = instances_.back().get();
    in->resource = namer_();
    ReserveInstanceObjects(*in);
    switched = true;
  }
  // Without a writer to name a new instance (never in a document), the glyph's first CID.
  if (in->next_cid > cid_limit_) {
    for (const auto& [cid, entry] : in->cids) {
      if (entry.glyph == glyph) return cid;
    }
    return 0;
  }
  const uint32_t cid = in->next_cid++;
  in->cids[cid] = {glyph, std::string(text), width};
  in->cid_of.emplace(std::make_tuple(glyph, std::string(text), width), cid);
  return cid;
}

std::vector<std::pair<std::string, int32_t>> EmbeddedFont::Resources() const {
  std::vector<std::pair<std::string, int32_t>> all;
  for (const auto& instance : instances_) all.emplace_back(instance->resource, instance->type0);
  return all;
}

namespace {

// The text that a CID's entry in the ToUnicode map may give: PDF allows 512 bytes, but common
// readers (poppler) take a hex string of at most 255 characters, 63 UTF-16 units, and drop a
// longer entry. A longer cluster's text is shared out among its glyphs in such pieces, cut
// between characters (a cluster of the Stream-Safe limit, 31 characters, always fits in one).
constexpr size_t kMaxUnicodeUnits = 63;

// A right-to-left cluster's text for a reader that reverses right-to-left runs character by
// character: its characters reversed, so that a letter comes back before its marks. (A bracket
// keeps the character typed, though the shaper draws its mirror image.)
std::string ForReadersOfRightToLeft(std::string_view text) {
  std::vector<char32_t> characters;
  for (size_t at = 0; at < text.size();) characters.push_back(NextCodePoint(text, at));
  std::string out;
  for (auto c = characters.rbegin(); c != characters.rend(); ++c) AppendUtf8(*c, out);
  return out;
}

std::vector<std::string_view> UnicodePieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0, units = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t here = at;
    const size_t more = NextCodePoint(text, at) > 0xFFFF ? 2 : 1;
    if (units + more > kMaxUnicodeUnits) {
      pieces.push_back(text.substr(start, here - start));
      start = here;
      units = 0;
    }
    units += more;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

}  // namespace

// Writes one text operand: strings of two-byte codes (a literal string, two bytes a glyph, or
// hex where that is shorter), the adjustments between them, and the changes of text rise or
// font that end one "TJ" and start the next. A single string without any of those is the
// operand alone, for "Tj" or "'"; anything else an array.
class OperandWriter {
 public:
  OperandWriter(std::string& out, double size) : out_(out), start_(out.size()), size_(size) {}

  void Codes(std::string_view codes) { codes_ += codes; }
  // Moves the pen left by `by` thousandths of the size (right when negative).
  void Adjust(int64_t by) {
    if (by == 0) return;
    Flush();
    Separate();
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, by).ptr;
    out_.append(digits, end);
    array_ = true;
  }
  // The glyphs that follow stand `to` thousandths of the size above the baseline.
  void Rise(int32_t to) {
    if (to == rise_) return;
    Restart(FormatNumber(static_cast<double>(to) * size_ / 1000.0) + " Ts");
    rise_ = to;
  }
  // The glyphs that follow are in another font (a new instance of the face).
  void Font(const std::string& resource) {
    Restart("/" + resource + " " + FormatNumber(size_) + " Tf");
  }
  void Finish() {
    Rise(0);
    Flush();
    if (array_) {
      out_.insert(start_, 1, '[');
      out_ += ']';
    } else if (out_.size() == start_) {
      out_ += "()";  // nothing to show
    }
  }

 private:
  void Separate() {
    if (!fresh_) out_ += ' ';
    fresh_ = false;
  }
  // Ends the "TJ" so far, sets something between two, and starts the next.
  void Restart(const std::string& operation) {
    Flush();
    out_ += "] TJ " + operation + " [";
    array_ = true;
    fresh_ = true;
  }
  void Flush() {
    if (codes_.empty()) return;
    Separate();
    // A reader takes a line end in a string for a line feed: CR and LF go as \r and \n.
    auto escaped = [](char c) { return TakesBackslash(c) || c == '\r' || c == '\n'; };
    size_t escapes = 0;
    for (char c : codes_) escapes += escaped(c);
    // Written in place: the operand's length is known before its first byte.
    const size_t start = out_.size();
    if (escapes < codes_.size()) {
      out_.resize(start + codes_.size() + escapes + 2);
      char* p = out_.data() + start;
      *p++ = '(';
      for (char c : codes_) {
        if (escaped(c)) *p++ = '\\';
        *p++ = c == '\r' ? 'r' : c == '\n' ? 'n' : c;
      }
      *p = ')';
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out_.resize(start + 2 * codes_.size() + 2);
      char* p = out_.data() + start;
      *p++ = '<';
      for (char c : codes_) {
        *p++ = kHex[static_cast<unsigned char>(c) >> 4];
        *p++ = kHex[static_cast<unsigned char>(c) & 15];
      }
      *p = '>';
    }
    codes_.clear();
  }

  std::string& out_;
  const size_t start_;
  const double size_;
  std::string codes_;   // the string being gathered
  bool array_ = false;  // the operand is an array
  bool fresh_ = true;   // nothing written since the operand or its last array started
  int32_t rise_ = 0;
};

namespace {

void AppendCode(uint32_t cid, std::string& codes) {
  codes += static_cast<char>(cid >> 8);
  codes += static_cast<char>(cid & 0xFF);
}

}  // namespace

void EmbeddedFont::Encode(std::span<const ShownText> texts, double size, std::string& out) const {
  OperandWriter writer(out, size);
  for (const ShownText& shown : texts) {
    writer.Adjust(-shown.gap);
    ForEachWord(shown.text, shown.direction,
                [&](ShapedWord& word, std::string_view text, size_t, bool right_to_left) {
                  if (shown.blank >= 0 && text == " ") {
                    EncodeBlank(word, shown.blank, writer);
                  } else {
                    EncodeWord(word, text, right_to_left, writer);
                  }
                });
  }
  writer.Finish();
}

void EmbeddedFont::EncodeBlank(const ShapedWord& word, int32_t width, OperandWriter& writer) const {
  // The face's blank, as wide as the standard font's; a face without one moves the pen.
  const uint32_t glyph = word.glyphs.size() == 1 ? word.glyphs[0].glyph : 0;
  if (glyph == 0) {
    writer.Adjust(-width);
    return;
  }
  if (blank_.instance != instances_.size() || blank_.width != width) {
    bool switched = false;
    const uint32_t cid = CidFor(glyph, " ", width, switched);
    if (switched) writer.Font(ResourceName());
    blank_ = {static_cast<uint32_t>(instances_.size()), width, cid};
  }
  std::string code;
  AppendCode(blank_.cid, code);
  writer.Codes(code);
}

void EmbeddedFont::EncodeWord(ShapedWord& word, std::string_view text, bool right_to_left,
                              OperandWriter& writer) const {
  const uint32_t instance = static_cast<uint32_t>(instances_.size());
  if (word.instance != instance) MakeCodes(word, text, right_to_left, writer);
  if (word.instance != instance) return;  // shown as it was made, across instances
  ShowCodes(word, 0, word.glyphs.size(), writer);
}

void EmbeddedFont::ShowCodes(const ShapedWord& word, size_t from, size_t to,
                             OperandWriter& writer) {
  // The codes between the word's events, the events in turn; those at the word's end with its
  // last glyph.
  size_t at = from;
  for (const WordEvent& event : word.events) {
    if (event.at < from || event.at > to || (event.at == to && to < word.glyphs.size())) {
      continue;
    }
    writer.Codes(std::string_view(word.codes).substr(2 * at, 2 * (event.at - at)));
    at = event.at;
    if (event.kind == WordEvent::kAdjust) {
      writer.Adjust(event.value);
    } else {
      writer.Rise(event.value);
    }
  }
  writer.Codes(std::string_view(word.codes).substr(2 * at, 2 * (to - at)));
}

void EmbeddedFont::MakeCodes(ShapedWord& word, std::string_view text, bool right_to_left,
                             OperandWriter& writer) const {
  const std::vector<ShapedGlyph>& glyphs = word.glyphs;
  word.codes.clear();
  word.events.clear();
  word.instance = 0;
  // Each glyph is drawn at the pen plus its offset, and a reader moves on by the glyph's width
  // in the W array; where the shaper puts it elsewhere, or moves the pen by another amount, an
  // adjustment in thousandths of the size comes first. drift is how far the reader's position
  // stands right of the shaper's pen, settled at the word's end. A glyph raised off the
  // baseline (a mark stacked on another) is shown with a text rise.
  int64_t drift = 0;
  auto adjust = [&](uint32_t at, int64_t by) {
    if (by != 0) word.events.push_back({at, WordEvent::kAdjust, static_cast<int32_t>(by)});
  };
  // The characters of a cluster run from its start to the next cluster's (in the text's
  // order, which right-to-left glyphs run against).
  std::vector<uint32_t> starts;
  starts.reserve(glyphs.size());
  for (const ShapedGlyph& glyph : glyphs) starts.push_back(glyph.cluster);
  std::sort(starts.begin(), starts.end());
  // A cluster (a letter with its marks, an Indic syllable) copies as one piece of a word: its
  // first glyph drawn carries the cluster's whole text and its whole width, the others none,
  // so that a reader sees no gap inside it (and no text before its letter). A
  // right-to-left run's cluster text is given reversed, for readers that turn such runs back
  // into the typed order character by character.
  std::vector<std::string_view> pieces;  // the text of the cluster, for its glyphs in turn
  std::string cluster_text;
  size_t piece = 0;
  size_t cluster_end = 0;     // the glyph after the cluster's last
  size_t carrier = 0;         // the glyph that carries the cluster's text
  int32_t cluster_width = 0;  // its glyphs' advances
  bool whole = true;          // the word is in one instance
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const ShapedGlyph& glyph = glyphs[i];
    if (i == 0 || glyphs[i - 1].cluster != glyph.cluster) {
      const auto next = std::upper_bound(starts.begin(), starts.end(), glyph.cluster);
      const size_t end = next == starts.end() ? text.size() : *next;
      cluster_text = std::string(text.substr(glyph.cluster, end - glyph.cluster));
      if (right_to_left) cluster_text = ForReadersOfRightToLeft(cluster_text);
      pieces = UnicodePieces(cluster_text);
      piece = 0;
      cluster_width = 0;
      carrier = glyphs.size();
      for (cluster_end = i;
           cluster_end < glyphs.size() && glyphs[cluster_end].cluster == glyph.cluster;
           ++cluster_end) {
        cluster_width += glyphs[cluster_end].advance;
        // The first glyph that moves the pen: a letter, where a right-to-left cluster may
        // list its marks first; a vowel sign drawn before its consonant.
        if (carrier == glyphs.size() && glyphs[cluster_end].advance != 0) carrier = cluster_end;
      }
      // A cluster with no advance of its own (the second letter of a ligature, which the
      // first one's advance draws) is carried by its glyph on the baseline, not by a mark
      // that stands above or below it and that a reader would take for another line.
      for (size_t k = i; carrier == glyphs.size() && k < cluster_end; ++k) {
        if (glyphs[k].rise == 0) carrier = k;
      }
      if (carrier == glyphs.size()) carrier = i;
    }
    // The W width of the glyph that carries the text is the cluster's advance as shaped
    // (kerning included), so that the boxes a reader makes of the clusters abut, with no gap
    // that it would take for a blank. Text beyond what one entry holds goes to the glyphs
    // after it.
    const bool carries = i == carrier;
    // Its box runs from where it is drawn to the cluster's end.
    int32_t before = 0;  // the advances of the cluster's glyphs drawn before it
    if (carries) {
      for (size_t k = i; k > 0 && glyphs[k - 1].cluster == glyph.cluster; --k) {
        before += glyphs[k - 1].advance;
      }
    }
    const int32_t width = carries ? std::max(0, cluster_width - before - glyph.offset) : 0;
    std::string_view part;
    if (carries) {
      part = pieces.empty() ? std::string_view() : pieces[0];
    } else if (i > carrier && piece + 1 < pieces.size()) {
      part = pieces[++piece];
    }
    bool switched = false;
    const uint32_t cid = CidFor(glyph.glyph, part, width, switched);
    const auto at = static_cast<uint32_t>(i);
    if (i == 0 || glyph.rise != glyphs[i - 1].rise) {
      word.events.push_back({at, WordEvent::kRise, glyph.rise});
    }
    adjust(at, drift - glyph.offset);
    drift = glyph.offset + width - glyph.advance;
    AppendCode(cid, word.codes);
    if (switched || !whole) {
      // A full instance made way for a new one inside the word: the word is shown as it is
      // made, glyph by glyph (the glyphs before in the old instance), and made again the
      // next time it is shown.
      if (whole) ShowCodes(word, 0, i, writer);
      whole = false;
      if (switched) writer.Font(ResourceName());
      ShowCodes(word, i, i + 1, writer);
    }
  }
  adjust(static_cast<uint32_t>(glyphs.size()), drift);
  if (whole) {
    word.instance = static_cast<uint32_t>(instances_.size());
  } else {
    writer.Adjust(drift);
  }
}

size_t EmbeddedFont::EncodedLength(std::string_view text) const {
  return CharacterCount(text);
}

void EmbeddedFont::ReserveObjects(ObjectTable& objects) {
  objects_ = &objects;
  ReserveInstanceObjects(*instances_.front());
}

void EmbeddedFont::ReserveInstanceObjects(Instance& in) const {
  in.type0 = objects_->Reserve();
  in.cid_font = objects_->Reserve();
  in.descriptor = objects_->Reserve();
  in.font_file = objects_->Reserve();
  in.to_unicode = objects_->Reserve();
  in.cid_map = objects_->Reserve();
}

std::string EmbeddedFont::SubsetTag(const Instance& in) {
  uint32_t hash = 2166136261u;
  for (const auto& [cid, entry] : in.cids) hash = (hash ^ entry.glyph) * 16777619u;
  std::string tag(6, 'A');
  for (char& c : tag) {
    c = static_cast<char>('A' + hash % 26);
    hash /= 26;
  }
  return tag;
}

std::string EmbeddedFont::WidthArray(const Instance& in) const {
  // CIDs are handed out in order from 1, so one run of widths holds them all.
  std::string w = "[ 1 [";
  for (const auto& [cid, entry] : in.cids) w += " " + std::to_string(entry.width);
  return in.cids.empty() ? "[ ]" : w + " ] ]";
}

std::string EmbeddedFont::ToUnicodeCMap(const Instance& in) {
  std::string cmap =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  std::vector<std::pair<uint32_t, const std::string*>> pairs;
  for (const auto& [cid, entry] : in.cids) {
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

namespace {

// The face's own program as a single font: every table copied into a new one (a face of a
// collection is thus taken out of it).
std::string WholeProgram(hb_face_t* face) {
  hb_face_t* builder = hb_face_builder_create();
  hb_tag_t tags[64];
  for (unsigned start = 0;;) {
    unsigned count = 64;
    hb_face_get_table_tags(face, start, &count, tags);
    if (count == 0) break;
    for (unsigned i = 0; i < count; ++i) {
      hb_blob_t* table = hb_face_reference_table(face, tags[i]);
      hb_face_builder_add_table(builder, tags[i], table);
      hb_blob_destroy(table);
    }
    start += count;
  }
  hb_blob_t* blob = hb_face_reference_blob(builder);
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob, &length);
  std::string program(data ? data : "", data ? length : 0);
  hb_blob_destroy(blob);
  hb_face_destroy(builder);
  return program;
}

}  // namespace

bool EmbeddedFont::SubsetProgram(const Instance& in, bool lean, std::string& program,
                                 std::vector<uint32_t>& new_glyphs) const {
  // The subset holds the glyphs shown (and the parts of composite ones), renumbered; the
  // layout tables go, since a reader draws the glyphs as the pages place them. A lean subset
  // also leaves out the character map, which the PDF never reads (its CIDs reach the glyphs
  // through the CIDToGIDMap).
  hb_subset_input_t* input = hb_subset_input_create_or_fail();
  if (!input) throw WriterError("Out of memory.");
  hb_set_t* glyphs = hb_subset_input_glyph_set(input);
  hb_set_add(glyphs, 0);
  for (const auto& [cid, entry] : in.cids) hb_set_add(glyphs, entry.glyph);
  hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
  for (hb_tag_t tag : {HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'),
                       HB_TAG('G', 'D', 'E', 'F'), HB_TAG('k', 'e', 'r', 'n')}) {
    hb_set_add(dropped, tag);
  }
  if (lean) {
    for (hb_tag_t tag :
         {HB_TAG('c', 'm', 'a', 'p'), HB_TAG('n', 'a', 'm', 'e'), HB_TAG('p', 'o', 's', 't'),
          HB_TAG('V', 'O', 'R', 'G'), HB_TAG('v', 'h', 'e', 'a'), HB_TAG('v', 'm', 't', 'x')}) {
      hb_set_add(dropped, tag);
    }
  }
  hb_subset_plan_t* plan = hb_subset_plan_create_or_fail(face_->face, input);
  hb_subset_input_destroy(input);
  hb_face_t* subset = plan ? hb_subset_plan_execute_or_fail(plan) : nullptr;
  if (!subset) {
    hb_subset_plan_destroy(plan);
    return false;
  }
  const hb_map_t* new_glyph = hb_subset_plan_old_to_new_glyph_mapping(plan);
  new_glyphs.clear();
  for (const auto& [cid, entry] : in.cids) new_glyphs.push_back(hb_map_get(new_glyph, entry.glyph));
  hb_subset_plan_destroy(plan);
  hb_blob_t* blob = hb_face_reference_blob(subset);
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob, &length);
  program.assign(data ? data : "", data ? length : 0);
  hb_blob_destroy(blob);
  hb_face_destroy(subset);
  return !program.empty();
}

void EmbeddedFont::WriteObjects(PdfObjectSink& sink) const {
  for (const auto& instance : instances_) WriteInstance(*instance, sink);
}

void EmbeddedFont::WriteInstance(const Instance& in, PdfObjectSink& sink) const {
  // The subset; where the subsetter cannot make one (it fails on the character maps of some
  // large faces), a lean subset; where that fails too, the whole face. A face is never dropped:
  // its text would vanish from the page.
  std::string program;
  std::vector<uint32_t> new_glyphs;
  if (!SubsetProgram(in, false, program, new_glyphs) &&
      !SubsetProgram(in, true, program, new_glyphs)) {
    program = WholeProgram(face_->face);
    new_glyphs.clear();
    for (const auto& [cid, entry] : in.cids) new_glyphs.push_back(entry.glyph);
    if (program.empty()) throw WriterError("Cannot embed the font " + name_ + ".");
  }
  // Two bytes a CID: the glyph that shows it in the program.
  std::string cid_map(2 * (in.cids.size() + 1), '\0');
  size_t k = 0;
  for (const auto& [cid, entry] : in.cids) {
    const uint32_t g = new_glyphs[k++];
    cid_map[2 * cid] = static_cast<char>(g >> 8 & 0xFF);
    cid_map[2 * cid + 1] = static_cast<char>(g & 0xFF);
  }

  const std::string base = "/" + SubsetTag(in) + "+" + name_;
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

  sink.BeginObject(in.type0);
  sink.Line("<< /Type /Font /Subtype /Type0 /BaseFont " + base + " /Encoding /Identity-H");
  sink.Line("   /DescendantFonts [ " + Reference(in.cid_font) + " ] /ToUnicode " +
            Reference(in.to_unicode) + " >>");
  sink.Line("endobj");
  sink.BeginObject(in.cid_font);
  sink.Line("<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + base);
  sink.Line("   /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>");
  sink.Line("   /FontDescriptor " + Reference(in.descriptor) + " /CIDToGIDMap " +
            Reference(in.cid_map));
  sink.Line("   /DW 1000 /W " + WidthArray(in) + " >>");
  sink.Line("endobj");
  sink.BeginObject(in.descriptor);
  sink.Line("<< /Type /FontDescriptor /FontName " + base + " /Flags " + std::to_string(flags));
  sink.Line("   /FontBBox " + bbox + " /ItalicAngle " + angle + " /Ascent " +
            std::to_string(face_->Thousandths(ascent)) + " /Descent " +
            std::to_string(face_->Thousandths(descent)) + " /CapHeight " +
            std::to_string(face_->Thousandths(cap)) + " /StemV 80");
  sink.Line("   /FontFile2 " + Reference(in.font_file) + " >>");
  sink.Line("endobj");
  sink.StreamObject(in.font_file, "/Filter /FlateDecode /Length1 " + std::to_string(program.size()),
                    Deflated(program));
  sink.StreamObject(in.to_unicode, "", ToUnicodeCMap(in));
  sink.StreamObject(in.cid_map, "/Filter /FlateDecode", Deflated(cid_map));
}

}  // namespace vellumox
