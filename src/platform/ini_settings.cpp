#include "platform/ini_settings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/user_folders.h"
#include "platform/utf8.h"

namespace vellumox {

namespace {

constexpr const char* kApplication = "Vellumox";
// A settings file larger than this is not one that this program wrote: only its first bytes
// are read.
constexpr size_t kMaxIniBytes = size_t{16} << 20;

bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// UTF-8 to code points; a byte that starts no valid sequence stands for U+FFFD.
std::u32string CodePoints(std::string_view text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 7);
    bool valid = length > 0 && i + static_cast<size_t>(length) <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      c = c << 6 | (next & 0x3F);
    }
    if (!valid) {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    out += c;
    i += static_cast<size_t>(length);
  }
  return out;
}

// UTF-16 units (as QSettings' escapes give them) to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8OfUnits(const std::u16string& units) {
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(c, out);
  }
  return out;
}

void AppendUnits(std::u16string& out, std::string_view utf8) {
  for (char32_t c : CodePoints(utf8)) {
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const char kHexDigits[] = "0123456789ABCDEF";

// The lines of a file, a line continued by a backslash at its end joined to the next (with
// the line end between, which the value's reading skips).
std::vector<std::string> LogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool continued = false;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(i, end - i);
    i = end;
    std::string line_end;
    if (i < text.size()) {
      line_end += text[i++];
      if (i < text.size() && (text[i] == '\r' || text[i] == '\n') && text[i] != line_end[0]) {
        line_end += text[i++];
      }
    }
    current += line;
    size_t backslashes = 0;
    while (backslashes < line.size() && line[line.size() - 1 - backslashes] == '\\') ++backslashes;
    continued = backslashes % 2 == 1 && !line_end.empty();
    if (continued) {
      current += line_end;
      continue;
    }
    lines.push_back(std::move(current));
    current.clear();
  }
  if (!current.empty() || continued) lines.push_back(std::move(current));
  return lines;
}

// A file as sections: the lines before the first header, then each section with its lines.
struct Section {
  std::string name;  // unescaped; the lines before the first header have none
  bool headed = false;
  std::vector<std::string> lines;
};

std::vector<Section> Sections(std::string_view text) {
  std::vector<Section> sections(1);
  for (std::string& line : LogicalLines(text)) {
    std::string_view t = Trimmed(line);
    if (!t.empty() && t.front() == '[') {
      const size_t close = t.find(']');
      Section s;
      s.name = ini::UnescapedKey(
          t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1));
      s.headed = true;
      sections.push_back(std::move(s));
      continue;
    }
    sections.back().lines.push_back(std::move(line));
  }
  return sections;
}

// The keys and values of a section's lines; a key given twice keeps its last value.
std::vector<std::pair<std::string, std::string>> EntriesOf(const Section& section) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (const std::string& line : section.lines) {
    std::string_view t = Trimmed(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') continue;
    const size_t equals = t.find('=');
    if (equals == std::string_view::npos) continue;
    std::string key = ini::UnescapedKey(Trimmed(t.substr(0, equals)));
    if (key.empty()) continue;
    std::string value = ini::UnescapedValue(t.substr(equals + 1));
    auto same = std::find_if(entries.begin(), entries.end(),
                             [&](const auto& entry) { return entry.first == key; });
    if (same != entries.end()) {
      same->second = std::move(value);
    } else {
      entries.emplace_back(std::move(key), std::move(value));
    }
  }
  return entries;
}

// Sets key in entries: a key stored under another spelling keeps it.
void SetEntry(std::vector<std::pair<std::string, std::string>>& entries, std::string_view key,
              std::string_view value) {
  for (auto& entry : entries) {
    if (EqualsIgnoreCaseAscii(entry.first, key)) {
      entry.second = std::string(value);
      return;
    }
  }
  entries.emplace_back(std::string(key), std::string(value));
}

}  // namespace

namespace ini {

std::string EscapedKey(std::string_view key) {
  std::u16string units;
  AppendUnits(units, key);
  std::string out;
  for (char16_t u : units) {
    if (u == '/') {
      out += '\\';
    } else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
               u == '_' || u == '-' || u == '.') {
      out += static_cast<char>(u);
    } else if (u <= 0xFF) {
      out += '%';
      out += kHexDigits[u >> 4];
      out += kHexDigits[u & 0xF];
    } else {
      out += "%U";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(u >> shift) & 0xF];
    }
  }
  return out;
}

std::string UnescapedKey(std::string_view text) {
  std::u16string units;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\\') {
      units += u'/';
      ++i;
    } else if (c == '%' && i + 1 < text.size() && text[i + 1] == 'U') {
      // %U and up to four hex digits: one UTF-16 unit.
      size_t j = i + 2;
      char16_t u = 0;
      while (j < text.size() && j < i + 6 && HexValue(text[j]) >= 0) {
        u = static_cast<char16_t>(u << 4 | HexValue(text[j++]));
      }
      units += u;
      i = j;
    } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      units += static_cast<char16_t>(HexValue(text[i + 1]) << 4 | HexValue(text[i + 2]));
      i += 3;
    } else {
      // Other bytes as they stand (UTF-8).
      size_t j = i + 1;
      while (j < text.size() && text[j] != '\\' && text[j] != '%') ++j;
      AppendUnits(units, text.substr(i, j - i));
      i = j;
    }
  }
  return Utf8OfUnits(units);
}

std::string EscapedValue(std::string_view value) {
  std::string out;
  // A text that starts with "@" would read as a typed value: the "@" is doubled.
  if (!value.empty() && value.front() == '@') out += '@';
  bool quotes = false;
  bool escape_next_if_digit = false;
  for (const char ch : value) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ';' || c == ',' || c == '=') quotes = true;
    // A hex escape goes on while hex digits follow: a digit after one is escaped too.
    if (escape_next_if_digit && HexValue(ch) >= 0) {
      out += "\\x";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0xF];
      continue;
    }
    escape_next_if_digit = false;
    switch (c) {
      case '\0':
        out += "\\0";
        escape_next_if_digit = true;
        break;
      case '\a':
        out += "\\a";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\v':
        out += "\\v";
        break;
      case '"':
      case '\\':
        out += '\\';
        out += ch;
        break;
      default:
        if (c <= 0x1F || c == 0x7F) {
          out += "\\x";
          if (c >= 0x10) out += kHexDigits[c >> 4];
          out += kHexDigits[c & 0xF];
          escape_next_if_digit = true;
        } else {
          out += ch;  // UTF-8 as it is
        }
    }
  }
  if (quotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) {
    out = '"' + out + '"';
  }
  return out;
}

std::string UnescapedValue(std::string_view text) {
  std::u16string units;
  bool quoted = false;
  bool in_quotes = false;
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skip_blanks();
  // Where trailing blanks may be chopped from: not before what an escape or quotes gave.
  size_t chop_limit = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\\') {
      if (++i >= text.size()) break;
      const char e = text[i++];
      static constexpr std::pair<char, char> kEscapes[] = {
          {'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
          {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
      bool simple = false;
      for (const auto& [code, meaning] : kEscapes) {
        if (e == code) {
          units += static_cast<char16_t>(meaning);
          simple = true;
          break;
        }
      }
      if (!simple) {
        if (e == 'x' && i < text.size() && HexValue(text[i]) >= 0) {
          char16_t u = 0;
          while (i < text.size() && HexValue(text[i]) >= 0) {
            u = static_cast<char16_t>(u << 4 | HexValue(text[i++]));
          }
          units += u;
        } else if (e >= '0' && e <= '7') {
          char16_t u = static_cast<char16_t>(e - '0');
          while (i < text.size() && text[i] >= '0' && text[i] <= '7') {
            u = static_cast<char16_t>(u << 3 | (text[i++] - '0'));
          }
          units += u;
        } else if (e == '\n' || e == '\r') {
          // A line continued on the next.
          if (i < text.size() && (text[i] == '\n' || text[i] == '\r') && text[i] != e) ++i;
        }
        // Any other escaped character is dropped, as QSettings drops it.
      }
      chop_limit = units.size();
    } else if (c == '"') {
      ++i;
      quoted = true;
      in_quotes = !in_quotes;
      if (!in_quotes) skip_blanks();
      chop_limit = units.size();
    } else {
      size_t j = i + 1;
      while (j < text.size() && text[j] != '\\' && text[j] != '"') ++j;
      AppendUnits(units, text.substr(i, j - i));
      i = j;
    }
  }
  if (!quoted) {
    while (units.size() > chop_limit && (units.back() == ' ' || units.back() == '\t')) {
      units.pop_back();
    }
  }
  std::string value = Utf8OfUnits(units);
  // Typed values: "@@" is a text that starts with "@"; "@String(...)" a text; the rest
  // ("@ByteArray", "@Variant", "@Invalid") are nothing this store keeps.
  if (value.size() >= 1 && value.front() == '@') {
    if (value.size() >= 2 && value[1] == '@') return value.substr(1);
    for (std::string_view type : {"@String(", "@ByteArray("}) {
      if (value.rfind(type, 0) == 0 && value.back() == ')') {
        return value.substr(type.size(), value.size() - type.size() - 1);
      }
    }
    if (value.find('(') != std::string::npos && value.back() == ')') return std::string();
  }
  return value;
}

}  // namespace ini

std::string SettingsStore::Get(std::string_view key, std::string_view default_value) const {
  std::optional<std::string> value = Get(key);
  return value ? *value : std::string(default_value);
}

IniSettingsStore::IniSettingsStore()
    : IniSettingsStore(UserConfigFolder() + "/" + kApplication + ".ini") {}

IniSettingsStore::IniSettingsStore(const std::string& ini_path, std::string group)
    : path_(ini_path), group_(std::move(group)) {
  // Reading opens nothing but a regular file, so a pipe never keeps the start waiting.
  if (!FileIsSafe()) return;
  for (const Section& section : Sections(ReadFileHead(path_, kMaxIniBytes))) {
    if (section.headed && section.name == group_) entries_ = EntriesOf(section);
  }
}

bool IniSettingsStore::FileIsSafe() const {
  const FileType type = TypeOf(path_);
  return type == FileType::kNone || type == FileType::kRegular;
}

std::string IniSettingsStore::WhyNotKept() const {
  if (!FileIsSafe()) {
    return "'" + path_ + "' is not a regular file (a device, a pipe or a folder); it is left " +
           "alone.";
  }
  if (write_error_ != 0)
    return "'" + path_ + "' cannot be written: " + SystemErrorText(write_error_) + ".";
  return SettingsStore::WhyNotKept();
}

std::optional<std::string> IniSettingsStore::Get(std::string_view key) const {
  for (const auto& [k, value] : entries_) {
    if (EqualsIgnoreCaseAscii(k, key)) return value;
  }
  return std::nullopt;
}

void IniSettingsStore::Put(std::string_view key, std::string_view value) {
  SetEntry(entries_, key, value);
  SetEntry(changes_, key, value);
}

bool IniSettingsStore::Sync() {
  write_error_ = 0;
  // Checked again: what the name links to may have changed since the store was read, and a
  // write would put a regular file in the place of a device.
  if (!FileIsSafe()) return false;
  if (changes_.empty()) return true;
  // The file as it is now: another program may have changed it since it was read.
  std::vector<Section> sections = Sections(ReadFileHead(path_, kMaxIniBytes));
  auto ours = std::find_if(sections.begin(), sections.end(),
                           [&](const Section& s) { return s.headed && s.name == group_; });
  std::vector<std::pair<std::string, std::string>> entries;
  if (ours != sections.end()) entries = EntriesOf(*ours);
  for (const auto& [key, value] : changes_) SetEntry(entries, key, value);
  // Written as QSettings writes a section: its keys in order.
  std::sort(entries.begin(), entries.end());
  Section written;
  written.name = group_;
  written.headed = true;
  for (const auto& [key, value] : entries) {
    written.lines.push_back(ini::EscapedKey(key) + "=" + ini::EscapedValue(value));
  }
  if (ours != sections.end()) {
    *ours = std::move(written);
  } else {
    sections.push_back(std::move(written));
  }
  std::string text;
  for (const Section& section : sections) {
    // A section's own blank lines at its end go; one blank line stands between sections.
    std::vector<std::string> lines = section.lines;
    while (!lines.empty() && Trimmed(lines.back()).empty()) lines.pop_back();
    if (!section.headed && lines.empty()) continue;
    if (section.headed && &section != &sections[1] && !text.empty()) text += "\n";
    if (section.headed) text += "[" + ini::EscapedKey(section.name) + "]\n";
    for (const std::string& line : lines) text += line + "\n";
  }
  const std::string folder = path_.substr(0, path_.rfind('/') + 1);
  AtomicFile file;
  if ((!folder.empty() && !MakeFolders(folder)) || !file.Open(path_) ||
      !file.Write(text.data(), text.size()) || !file.Commit()) {
    write_error_ = file.Error() != 0 ? file.Error() : EACCES;
    return false;
  }
  changes_.clear();
  entries_ = std::move(entries);
  return true;
}

}  // namespace vellumox
