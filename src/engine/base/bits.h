// Bits: the few compiler and processor intrinsics the engine uses, behind plain names.
//
// Overflow-checked 64-bit arithmetic, exact wide products, a varint's size, a cache prefetch hint, and a test
// of sixteen bytes at once against two values (SSE2 where the processor has it, a plain loop
// elsewhere). Counting trailing zero bits is std::countr_zero from <bit>. Nothing here
// allocates; every function is a handful of instructions.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wordloom {

// `sum` = a + b; true when the sum does not fit (`sum` then holds the wrapped value).
inline bool AddOverflows(int64_t a, int64_t b, int64_t& sum) { return __builtin_add_overflow(a, b, &sum); }

// `product` = a * b; true when the product does not fit (`product` then holds the wrapped value).
inline bool MultiplyOverflows(int64_t a, int64_t b, int64_t& product) {
  return __builtin_mul_overflow(a, b, &product);
}

// a * b formed exactly in 128 bits, then rounded once to the nearest double.
inline double WideProductAsDouble(uint64_t a, uint64_t b) {
  __extension__ typedef unsigned __int128 Wide;
  return static_cast<double>(static_cast<Wide>(a) * b);
}

// The bytes of `value` in variable-length coding, 7 bits a byte (index_format.h).
inline size_t VarintSize(uint64_t value) { return (static_cast<size_t>(std::bit_width(value | 1)) + 6) / 7; }

// Asks the processor to start fetching the memory at `address`; never faults, whatever the address.
inline void Prefetch(const void* address) { __builtin_prefetch(address); }

// True when ByteMatcher tests sixteen bytes in a few instructions, so that searching with it
// beats skipping through the text.
#if defined(__SSE2__)
inline constexpr bool kFastByteMatcher = true;
#else
inline constexpr bool kFastByteMatcher = false;
#endif

// Finds, among sixteen bytes, those equal to either of two values.
class ByteMatcher {
 public:
  ByteMatcher(unsigned char a, unsigned char b) : a_(a), b_(b) {
#if defined(__SSE2__)
    va_ = _mm_set1_epi8(static_cast<char>(a));
    vb_ = _mm_set1_epi8(static_cast<char>(b));
#endif
  }

  // Bit i is set when byte i of the sixteen at `p` is one of the two values.
  uint32_t Match16(const unsigned char* p) const {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, va_), _mm_cmpeq_epi8(bytes, vb_))));
#else
    uint32_t mask = 0;
    for (unsigned i = 0; i < 16; ++i) mask |= static_cast<uint32_t>(p[i] == a_ || p[i] == b_) << i;
    return mask;
#endif
  }

 private:
  [[maybe_unused]] unsigned char a_, b_;
#if defined(__SSE2__)
  __m128i va_, vb_;
#endif
};

}  // namespace wordloom
