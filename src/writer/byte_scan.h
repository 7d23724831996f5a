// Word-at-a-time byte searches for the hot loops over input text.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace vellumox::byte_scan {

inline constexpr uint64_t kOnes = 0x0101010101010101ull;
inline constexpr uint64_t kHighs = 0x8080808080808080ull;

inline uint64_t Load(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
  return word;
}

// Non-zero when some byte of word equals c.
inline uint64_t HasByte(uint64_t word, char c) {
  uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
  return (x - kOnes) & ~x & kHighs;
}

}  // namespace vellumox::byte_scan
