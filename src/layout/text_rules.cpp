#include "layout/text_rules.h"

#include <array>
#include <cstring>

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

// Replaces every mark by ")' (", dropping one that ends the text.
std::string ApplyMark(std::string text, std::string_view mark) {
  if (EndsWithIgnoreCase(text, mark)) text.resize(text.size() - mark.size());
  if (FindIgnoreCase(text, mark) == std::string::npos) return text;
  return ReplaceAll(text, mark, ")' (", CompareMode::kText);
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

size_t ForwardFinder::Find(size_t from) {
  if (known_ && from >= from_ && (result_ == std::string_view::npos || from <= result_)) {
    return result_;
  }
  from_ = from;
  known_ = true;
  if (from > text_.size()) {
    result_ = std::string_view::npos;
  } else if (ignore_case_) {
    result_ = FindIgnoreCase(text_, needle_, from);
  } else {
    result_ = text_.find(needle_, from);
  }
  return result_;
}

MarkupTest::MarkupTest(std::string_view line, bool use_text_formatting)
    : on_(use_text_formatting),
      lt_(line, "<", false),
      gt1_(line, ">", false),
      close_(line, "</", false),
      gt2_(line, ">", false),
      img_(line, "<img", true),
      gt_img_(line, ">", false),
      tab_(line, "<tab ", true),
      gt_tab_(line, ">", false) {}

bool MarkupTest::From(size_t start) {
  constexpr size_t npos = std::string_view::npos;
  if (!on_) return false;
  // A: "<" ... ">" ... "</" ... ">"
  size_t lt = lt_.Find(start);
  if (lt == npos) return false;
  size_t gt = gt1_.Find(lt + 1);
  if (gt == npos) return false;  // no ">" after any "<": B and C fail too
  size_t close = close_.Find(gt + 1);
  if (close != npos && gt2_.Find(close + 2) != npos) return true;
  // B: "<img" ... ">"
  size_t img = img_.Find(start);
  if (img != npos && gt_img_.Find(img + 4) != npos) return true;
  // C: "<tab " ... ">"
  size_t tab = tab_.Find(start);
  return tab != npos && gt_tab_.Find(tab + 5) != npos;
}

bool HasMarkup(std::string_view line, bool use_text_formatting) {
  // Most lines hold no "<" at all.
  if (!use_text_formatting || line.find('<') == std::string_view::npos) return false;
  return MarkupTest(line, true).From(0);
}

std::string ExpandInlineMarks(std::string_view text, bool use_text_formatting) {
  if (!use_text_formatting ||
      (text.find('<') == std::string_view::npos && text.find('&') == std::string_view::npos)) {
    return std::string(text);
  }
  std::string out = ApplyMark(std::string(text), "<p>");
  out = ApplyMark(std::move(out), "<br>");
  if (out.find('&') != std::string::npos) {
    out = ReplaceAll(out, "&lt;", "<", CompareMode::kText);
    out = ReplaceAll(out, "&gt;", ">", CompareMode::kText);
  }
  return out;
}

bool IsWrapBreakCharacter(char c) {
  return kBreakTable[static_cast<unsigned char>(c)];
}

}  // namespace vellumox
