// The shapes of the words a face has drawn lately: a word's glyphs as the shaper gave them, in
// thousandths of the size (so every size shares them), kept for the next time the word is
// measured or shown. A document's words repeat: a face shapes each of them once while it is
// among the last few thousand used, and looks it up after that. Bounded: the least recently
// used word goes when a new one would pass the limit.
#pragma once

#include <cstdint>
#include <cstring>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "writer/font.h"

namespace vellumox {

// Something that happens between the codes of a word as it is shown: before its glyph `at`
// (or at its end), the pen moves (an adjustment, in thousandths of the size, leftwards) or the
// glyphs that follow stand at another text rise (thousandths of the size above the baseline).
struct WordEvent {
  enum Kind : uint8_t { kAdjust, kRise };
  uint32_t at = 0;
  Kind kind = kAdjust;
  int32_t value = 0;
};

// One word shaped, and what the face has made of it to show it.
struct ShapedWord {
  std::vector<ShapedGlyph> glyphs;  // in the order shown; clusters from the word's start
  int64_t advance = 0;              // the glyphs' advances added up
  // How the word is shown in an instance of the face (EmbeddedFont::Encode): its two-byte
  // codes and what happens between them; instance is the instance's number from 1, 0 before
  // the word is first shown.
  std::string codes;
  std::vector<WordEvent> events;
  uint32_t instance = 0;
};

// A hash of short texts (words and the keys made of them), eight bytes a step: several times
// quicker than the library's for the few bytes of a word, and spread well enough for a table.
struct TextHash {
  size_t operator()(std::string_view text) const noexcept {
    constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    uint64_t hash = text.size() * kMultiplier;
    size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
      uint64_t chunk = 0;
      std::memcpy(&chunk, text.data() + at, 8);
      hash = (hash ^ chunk) * kMultiplier;
      hash ^= hash >> 29;
    }
    // The last bytes: the eight that end the text when it has eight (some hashed already), a
    // byte at a time when it is shorter; a copy of a fixed size costs no call.
    uint64_t tail = 0;
    if (text.size() >= 8) {
      std::memcpy(&tail, text.data() + text.size() - 8, 8);
    } else {
      for (; at < text.size(); ++at) tail = tail << 8 | static_cast<unsigned char>(text[at]);
    }
    hash = (hash ^ tail) * kMultiplier;
    return static_cast<size_t>(hash ^ hash >> 32);
  }
};

class ShapedWords {
 public:
  explicit ShapedWords(size_t capacity = 4096) : capacity_(capacity) {}
  ShapedWords(const ShapedWords&) = delete;
  ShapedWords& operator=(const ShapedWords&) = delete;

  // The word of a key, nullptr when it is not kept (the key names the word's text and how it
  // is shaped); it becomes the most recently used.
  ShapedWord* Find(std::string_view key);
  // A new entry for a key that Find did not have, the least recently used one dropped when
  // the limit is reached; the caller fills it in.
  ShapedWord& Add(std::string_view key);
  size_t size() const { return index_.size(); }

 private:
  struct Entry {
    std::string key;
    ShapedWord word;
  };
  size_t capacity_;
  std::list<Entry> order_;  // most recently used first
  // The words found lately, by their keys' hashes: most lookups end here, on the word itself,
  // without the walk through the index (a slot's entry may have gone to another key since, which
  // its key tells).
  struct Recent {
    size_t hash = 0;
    Entry* entry = nullptr;
  };
  static constexpr size_t kRecentSlots = 1024;
  std::vector<Recent> recent_ = std::vector<Recent>(kRecentSlots);
  std::unordered_map<std::string_view, std::list<Entry>::iterator, TextHash> index_;  // in order_
};

}  // namespace vellumox
