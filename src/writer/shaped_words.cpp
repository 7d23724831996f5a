#include "writer/shaped_words.h"

namespace vellumox {

ShapedWord* ShapedWords::Find(std::string_view key) {
  const size_t hash = TextHash()(key);
  Recent& recent = recent_[hash % kRecentSlots];
  if (recent.entry && recent.hash == hash && recent.entry->key == key) return &recent.entry->word;
  const auto found = index_.find(key);
  if (found == index_.end()) return nullptr;
  if (found->second != order_.begin()) order_.splice(order_.begin(), order_, found->second);
  recent = {hash, &*found->second};
  return &found->second->word;
}

ShapedWord& ShapedWords::Add(std::string_view key) {
  if (index_.size() >= capacity_ && !order_.empty()) {
    index_.erase(order_.back().key);
    // The oldest entry is taken over, its storage kept for the new word.
    order_.splice(order_.begin(), order_, std::prev(order_.end()));
    Entry& entry = order_.front();
    entry.key.assign(key);
    entry.word.glyphs.clear();
    entry.word.advance = 0;
    entry.word.codes.clear();
    entry.word.events.clear();
    entry.word.instance = 0;
    index_.emplace(entry.key, order_.begin());
    return entry.word;
  }
  order_.push_front({std::string(key), {}});
  index_.emplace(order_.front().key, order_.begin());
  return order_.front().word;
}

}  // namespace vellumox
