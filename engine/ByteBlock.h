#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(CARDMILL_PORTABLE_BLOCKS)
#include <emmintrin.h>
#endif

// Sixteen bytes at a time: the scans over log text (record markers, tags, the upper-cased copy) test a whole
// block per step and turn the result into a bit mask, bit j standing for byte j. With SSE2 (every x86-64) a
// block is one vector register; elsewhere (or with CARDMILL_PORTABLE_BLOCKS defined, as the sanitizer build
// does, so that the tests run both) a portable loop gives the same results.
namespace cardmill::text {

class ByteBlock {
public:
    static constexpr std::size_t kSize = 16;

    // Loads the sixteen bytes at `p`, which need no alignment.
    explicit ByteBlock(const char* p)
    {
#if defined(__SSE2__) && !defined(CARDMILL_PORTABLE_BLOCKS)
        m_v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
#else
        std::memcpy(m_b, p, kSize);
#endif
    }

    // Bit j set when byte j equals `c`.
    std::uint32_t equal(char c) const
    {
#if defined(__SSE2__) && !defined(CARDMILL_PORTABLE_BLOCKS)
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(m_v, _mm_set1_epi8(c))));
#else
        std::uint32_t mask = 0;
        for (std::size_t j = 0; j < kSize; ++j)
            mask |= static_cast<std::uint32_t>(m_b[j] == c) << j;
        return mask;
#endif
    }

    // Bit j set when byte j is one of the three.
    std::uint32_t anyOf(char a, char b, char c) const
    {
#if defined(__SSE2__) && !defined(CARDMILL_PORTABLE_BLOCKS)
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(m_v, _mm_set1_epi8(a)),
                                                      _mm_cmpeq_epi8(m_v, _mm_set1_epi8(b))),
                                         _mm_cmpeq_epi8(m_v, _mm_set1_epi8(c)));
        return static_cast<std::uint32_t>(_mm_movemask_epi8(hit));
#else
        return equal(a) | equal(b) | equal(c);
#endif
    }

    // Stores the block as it is.
    void store(char* out) const
    {
#if defined(__SSE2__) && !defined(CARDMILL_PORTABLE_BLOCKS)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), m_v);
#else
        std::memcpy(out, m_b, kSize);
#endif
    }

    // Stores the block with every `from` turned into `to`.
    void storeReplacing(char* out, char from, char to) const
    {
#if defined(__SSE2__) && !defined(CARDMILL_PORTABLE_BLOCKS)
        const __m128i hit = _mm_cmpeq_epi8(m_v, _mm_set1_epi8(from));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_xor_si128(m_v, _mm_and_si128(hit, _mm_set1_epi8(static_cast<char>(from ^ to)))));
#else
        for (std::size_t j = 0; j < kSize; ++j)
            out[j] = m_b[j] == from ? to : m_b[j];
#endif
    }

    // Stores the block with a to z turned into A to Z; every other byte stays.
    void storeUpper(char* out) const
    {
#if defined(__SSE2__) && !defined(CARDMILL_PORTABLE_BLOCKS)
        // Signed comparisons: bytes of 128 and more are negative and never in the range.
        const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(m_v, _mm_set1_epi8('a' - 1)),
                                            _mm_cmplt_epi8(m_v, _mm_set1_epi8('z' + 1)));
        const __m128i up = _mm_sub_epi8(m_v, _mm_and_si128(lower, _mm_set1_epi8('a' - 'A')));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), up);
#else
        for (std::size_t j = 0; j < kSize; ++j)
            out[j] = (m_b[j] >= 'a' && m_b[j] <= 'z') ? static_cast<char>(m_b[j] - ('a' - 'A')) : m_b[j];
#endif
    }

private:
#if defined(__SSE2__) && !defined(CARDMILL_PORTABLE_BLOCKS)
    __m128i m_v;
#else
    char m_b[kSize];
#endif
};

} // namespace cardmill::text
