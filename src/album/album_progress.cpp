#include "album/album_progress.h"

#include <optional>

namespace vellumox {

namespace {

// A number as the converter writes it ("2,000"), from the start of text; nullopt when text
// does not start with one.
std::optional<int> LeadingNumber(std::string_view text, size_t& length) {
  long long value = 0;
  length = 0;
  while (length < text.size() &&
         ((text[length] >= '0' && text[length] <= '9') || (text[length] == ',' && length > 0))) {
    if (text[length] != ',') value = value * 10 + (text[length] - '0');
    if (value > 1000000000) return std::nullopt;
    ++length;
  }
  if (length == 0) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

void AlbumProgress::Feed(std::string_view bytes) {
  for (char c : bytes) {
    // A terminal's progress line is redrawn after a carriage return; a pipe's ends in a line
    // feed. Either ends what came before.
    if (c == '\n' || c == '\r') {
      TakeLine(partial_);
      partial_.clear();
    } else if (partial_.size() < 4096) {
      partial_ += c;
    }
  }
}

void AlbumProgress::TakeLine(std::string_view line) {
  if (line.empty()) return;
  constexpr std::string_view kName = "vellumox: ";
  if (line.substr(0, kName.size()) == kName) line.remove_prefix(kName.size());
  if (line.substr(0, 11) == "Processing ") {
    // "... — picture N of M" at its end, when it has come that far.
    const size_t at = line.rfind("picture ");
    if (at == std::string_view::npos) return;
    std::string_view rest = line.substr(at + 8);
    size_t length = 0;
    const std::optional<int> picture = LeadingNumber(rest, length);
    if (!picture || rest.substr(length, 4) != " of ") return;
    rest.remove_prefix(length + 4);
    const std::optional<int> count = LeadingNumber(rest, length);
    if (!count || length != rest.size()) return;
    picture_ = *picture;
    count_ = *count;
    text_ = std::string(line.substr(at));
    return;
  }
  messages_.emplace_back(line);
}

std::string AlbumProgress::Text() const {
  return count_ == 0 ? "Starting the converter..." : text_;
}

std::string AlbumDoneQuestion(const std::string& pdf) {
  return "The album is done: " + pdf + ". Open it?";
}

}  // namespace vellumox
