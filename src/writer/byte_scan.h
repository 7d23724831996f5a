// Word-at-a-time byte searches for the hot loops over input text; where the processor has
// SSE2 (every x86-64 one), sixteen bytes at a time.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
inline constexpr bool kWide = true;
// Bit k set when byte k of the sixteen at p is a, b or c.
inline unsigned Match16(const char* p, char a, char b, char c) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i any = _mm_or_si128(
      _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(a)), _mm_cmpeq_epi8(v, _mm_set1_epi8(b))),
      _mm_cmpeq_epi8(v, _mm_set1_epi8(c)));
  return static_cast<unsigned>(_mm_movemask_epi8(any));
}
// Bit k set when byte k of the sixteen at p is one of five.
inline unsigned Match16(const char* p, char a, char b, char c, char d, char e) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i any = _mm_or_si128(
      _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(a)), _mm_cmpeq_epi8(v, _mm_set1_epi8(b))),
          _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(c)), _mm_cmpeq_epi8(v, _mm_set1_epi8(d)))),
      _mm_cmpeq_epi8(v, _mm_set1_epi8(e)));
  return static_cast<unsigned>(_mm_movemask_epi8(any));
}
#else
inline constexpr bool kWide = false;
inline unsigned Match16(const char* p, char a, char b, char c) {
  unsigned found = 0;
  for (unsigned k = 0; k < 16; ++k) found |= unsigned{p[k] == a || p[k] == b || p[k] == c} << k;
  return found;
}
inline unsigned Match16(const char* p, char a, char b, char c, char d, char e) {
  return Match16(p, a, b, c) | Match16(p, d, e, e);
}
#endif

}  // namespace vellumox::byte_scan
