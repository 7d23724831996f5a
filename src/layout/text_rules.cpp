#include "layout/text_rules.h"

#include <array>
#include <cstring>

#include "writer/byte_scan.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

size_t Find(std::string_view text, std::string_view needle, size_t from, CompareMode mode) {
  if (mode == CompareMode::kText) return FindIgnoreCase(text, needle, from);
  return text.find(needle, from);
}

constexpr std::array<bool, 256> MakeBreakTable() {
  std::array<bool, 256> table{};
  for (char c : std::string_view("/|*&^%$#,.: ;<=>[])}!?\"\t")) {
    table[static_cast<unsigned char>(c)] = true;
  }
  return table;
}
constexpr std::array<bool, 256> kBreakTable = MakeBreakTable();

// Cuts each piece at every occurrence of mark, after dropping one that ends the text.
void CutAtMark(std::vector<std::string>& pieces, std::string_view mark) {
  std::string& last = pieces.back();
  if (EndsWithIgnoreCase(last, mark)) last.resize(last.size() - mark.size());
  std::vector<std::string> cut;
  cut.reserve(pieces.size());
  for (std::string& piece : pieces) {
    size_t pos = 0;
    for (size_t hit = FindIgnoreCase(piece, mark); hit != std::string::npos;
         hit = FindIgnoreCase(piece, mark, pos)) {
      cut.push_back(piece.substr(pos, hit - pos));
      pos = hit + mark.size();
    }
    cut.push_back(pos == 0 ? std::move(piece) : piece.substr(pos));
  }
  pieces = std::move(cut);
}

}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement,
                       CompareMode mode) {
  if (find.empty()) return std::string(text);
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t hit = Find(text, find, pos, mode);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(replacement);
    pos = hit + find.size();
  }
  out.append(text.substr(pos));
  return out;
}

LineSurvey SurveyLine(std::string_view line) {
  const char* p = line.data();
  const char* end = p + line.size();
  constexpr char kSoftHyphen = '\xAD';
  bool any = false;
  if (byte_scan::kWide && line.size() >= 16) {
    for (; !any && end - p >= 16; p += 16) {
      any = byte_scan::Match16(p, '\f', '<', '&', '\t', kSoftHyphen) != 0;
    }
    // The last bytes within the sixteen that end the line, some of them seen already.
    any = any || byte_scan::Match16(end - 16, '\f', '<', '&', '\t', kSoftHyphen) != 0;
  } else {
    for (; !any && p < end; ++p) {
      any = *p == '\f' || *p == '<' || *p == '&' || *p == '\t' || *p == kSoftHyphen;
    }
  }
  if (!any) return {};
  return {line.find('\f') != std::string_view::npos, MayHoldInlineMarks(line),
          line.find('\t') != std::string_view::npos ||
              line.find('\xAD') != std::string_view::npos};
}

std::vector<std::string> InlineMarkPieces(std::string_view text, bool use_text_formatting) {
  std::vector<std::string> pieces{std::string(text)};
  if (!use_text_formatting || !MayHoldInlineMarks(text)) return pieces;
  CutAtMark(pieces, "<p>");
  CutAtMark(pieces, "<br>");
  for (std::string& piece : pieces) {
    if (piece.find('&') == std::string::npos) continue;
    piece = ReplaceAll(piece, "&lt;", "<", CompareMode::kText);
    piece = ReplaceAll(piece, "&gt;", ">", CompareMode::kText);
  }
  return pieces;
}

bool IsWrapBreakCharacter(char c) {
  return kBreakTable[static_cast<unsigned char>(c)];
}

}  // namespace vellumox
