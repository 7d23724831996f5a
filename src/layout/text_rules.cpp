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

bool HasMarkup(std::string_view line, bool use_text_formatting) {
  if (!use_text_formatting) return false;
  size_t lt = line.find('<');
  if (lt == std::string_view::npos) return false;
  // A: "<" ... ">" ... "</" ... ">"
  size_t gt = line.find('>', lt + 1);
  if (gt == std::string_view::npos) return false;  // no ">" after any "<": B and C fail too
  size_t close = line.find("</", gt + 1);
  if (close != std::string_view::npos && line.find('>', close + 2) != std::string_view::npos) {
    return true;
  }
  // B: "<img" ... ">"
  size_t img = FindIgnoreCase(line, "<img", lt);
  if (img != std::string_view::npos && line.find('>', img + 4) != std::string_view::npos) {
    return true;
  }
  // C: "<tab " ... ">"
  size_t tab = FindIgnoreCase(line, "<tab ", lt);
  return tab != std::string_view::npos && line.find('>', tab + 5) != std::string_view::npos;
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

bool NeedsEscaping(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  for (; end - p >= 8; p += 8) {
    uint64_t w = byte_scan::Load(p);
    if (byte_scan::HasByte(w, '\\') | byte_scan::HasByte(w, '(') | byte_scan::HasByte(w, ')')) {
      break;
    }
  }
  for (; p < end; ++p) {
    if (*p == '\\' || *p == '(' || *p == ')') return true;
  }
  return false;
}

void AppendEscaped(std::string_view text, std::string& out) {
  const char* p = text.data();
  const char* end = p + text.size();
  const char* run = p;  // start of the bytes not yet copied
  while (p < end) {
    while (end - p >= 8) {
      uint64_t w = byte_scan::Load(p);
      if (byte_scan::HasByte(w, '\\') | byte_scan::HasByte(w, '(') | byte_scan::HasByte(w, ')')) {
        break;
      }
      p += 8;
    }
    while (p < end && *p != '\\' && *p != '(' && *p != ')') ++p;
    if (p == end) break;
    out.append(run, static_cast<size_t>(p - run));
    out.push_back('\\');
    run = p;
    ++p;
  }
  out.append(run, static_cast<size_t>(end - run));
}

}  // namespace vellumox
