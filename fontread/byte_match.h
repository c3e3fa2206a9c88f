// Which bytes of a block equal a given byte, or lie in a range of ASCII
// bytes, found all at once: with SSE2 (every x86-64 machine) in 16 bytes by
// a few vector instructions, elsewhere in 8 bytes as one 64-bit word. The
// answer is a mask with match_bits_per_byte bits a byte, the block's first
// byte lowest; a byte's bit is its top one.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Eight bytes, the first in the lowest bits.
inline std::uint64_t load_word(const unsigned char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big) {
        std::uint64_t reversed = 0;
        for (int i = 0; i < 8; ++i) reversed |= (word >> (8 * i) & 0xFF) << (56 - 8 * i);
        return reversed;
    }
    return word;
}

// The bytes of eight that equal c, as bit 8k + 7 for byte k.
inline std::uint64_t word_matches(const unsigned char* bytes, unsigned char c) {
    constexpr std::uint64_t low_bits = 0x0101010101010101;
    constexpr std::uint64_t seven_bits = 0x7F7F7F7F7F7F7F7F;
    const std::uint64_t x = load_word(bytes) ^ (low_bits * c);
    return ~(((x & seven_bits) + seven_bits) | x | seven_bits);
}

// The bytes of eight from low to high (both below 128), as bit 8k + 7 for
// byte k: a byte above low - 1 and below high + 1, each byte on its own.
inline std::uint64_t word_in_range(const unsigned char* bytes, unsigned char low, unsigned char high) {
    constexpr std::uint64_t low_bits = 0x0101010101010101;
    constexpr std::uint64_t seven_bits = low_bits * 127;
    const std::uint64_t word = load_word(bytes);
    const std::uint64_t seven = word & seven_bits;
    const std::uint64_t below_top = low_bits * (127 + high + 1) - seven;
    const std::uint64_t above_bottom = seven + low_bits * (127 - (low - 1));
    return below_top & ~word & above_bottom & ~seven_bits;
}

#if defined(__SSE2__)
// The bytes of 16 that equal c, as bit k for byte k.
inline std::uint64_t sse2_matches(const unsigned char* bytes, unsigned char c) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i equal = _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(c)));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(equal));
}

// The bytes of 16 from low to high, as bit k for byte k.
inline std::uint64_t sse2_in_range(const unsigned char* bytes, unsigned char low, unsigned char high) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i above_low = _mm_sub_epi8(block, _mm_set1_epi8(static_cast<char>(low)));
    const __m128i span = _mm_set1_epi8(static_cast<char>(high - low));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(above_low, span), above_low)));
}

constexpr std::size_t match_block_bytes = 16;
constexpr int match_bits_per_byte = 1;
inline std::uint64_t block_matches(const unsigned char* bytes, unsigned char c) { return sse2_matches(bytes, c); }
inline std::uint64_t block_in_range(const unsigned char* bytes, unsigned char low, unsigned char high) {
    return sse2_in_range(bytes, low, high);
}
#else
constexpr std::size_t match_block_bytes = 8;
constexpr int match_bits_per_byte = 8;
inline std::uint64_t block_matches(const unsigned char* bytes, unsigned char c) { return word_matches(bytes, c); }
inline std::uint64_t block_in_range(const unsigned char* bytes, unsigned char low, unsigned char high) {
    return word_in_range(bytes, low, high);
}
#endif

// The byte of the lowest and of the highest match in a mask that has one.
inline std::size_t first_match(std::uint64_t mask) {
    return static_cast<std::size_t>(std::countr_zero(mask)) / match_bits_per_byte;
}
inline std::size_t last_match(std::uint64_t mask) {
    return static_cast<std::size_t>(63 - std::countl_zero(mask)) / match_bits_per_byte;
}
