#include "engine/Scan.h"

#include <bit>
#include <cstring>

#include "engine/Text.h"

#if defined(__SSE2__) && !defined(CARDMILL_PORTABLE_SCANS)
#include <emmintrin.h>
#define CARDMILL_SSE2_SCANS 1
#endif

namespace cardmill::scan {

namespace {

bool markerAt(std::string_view text, std::size_t at, std::string_view marker)
{
    return text[at] == '<' && text[at + 4] == '>' && text::upper(text[at + 1]) == marker[1] &&
           text::upper(text[at + 2]) == marker[2] && text::upper(text[at + 3]) == marker[3];
}

} // namespace

void upperNotingOpensPlain(std::string_view text, std::string& upper, std::vector<std::uint32_t>& opens)
{
    upper.resize(text.size());
    opens.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        upper[i] = text::upper(text[i]);
        if (text[i] == '<')
            opens.push_back(static_cast<std::uint32_t>(i));
    }
}

std::size_t findMarkerPlain(std::string_view text, std::string_view marker, std::size_t from)
{
    if (text.size() < 5)
        return std::string_view::npos;
    for (std::size_t at = from; at + 5 <= text.size(); ++at)
        if (markerAt(text, at, marker))
            return at;
    return std::string_view::npos;
}

#ifdef CARDMILL_SSE2_SCANS

void upperNotingOpens(std::string_view text, std::string& upper, std::vector<std::uint32_t>& opens)
{
    upper.resize(text.size());
    opens.clear();
    const char* in = text.data();
    char* out = upper.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        // a to z by signed comparisons: bytes of 128 and more are negative, never in the range.
        const __m128i lower =
            _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('a' - 1)), _mm_cmplt_epi8(v, _mm_set1_epi8('z' + 1)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_sub_epi8(v, _mm_and_si128(lower, _mm_set1_epi8('a' - 'A'))));
        for (auto lt = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('<')))); lt;
             lt &= lt - 1)
            opens.push_back(static_cast<std::uint32_t>(i + static_cast<std::size_t>(std::countr_zero(lt))));
    }
    for (; i < n; ++i) {
        out[i] = text::upper(in[i]);
        if (in[i] == '<')
            opens.push_back(static_cast<std::uint32_t>(i));
    }
}

std::size_t findMarker(std::string_view text, std::string_view marker, std::size_t from)
{
    if (text.size() < 5)
        return std::string_view::npos;
    const std::size_t last = text.size() - 5; // the last place a marker can start
    std::size_t at = from;
    // Sixteen places at a time: a "<" there and a ">" four bytes on; the letters only where both are.
    for (; at + 20 <= text.size(); at += 16) {
        const __m128i open = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const __m128i close = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at + 4));
        for (auto m = static_cast<std::uint32_t>(_mm_movemask_epi8(
                 _mm_and_si128(_mm_cmpeq_epi8(open, _mm_set1_epi8('<')), _mm_cmpeq_epi8(close, _mm_set1_epi8('>')))));
             m; m &= m - 1) {
            const std::size_t hit = at + static_cast<std::size_t>(std::countr_zero(m));
            if (markerAt(text, hit, marker))
                return hit;
        }
    }
    for (; at <= last; ++at)
        if (markerAt(text, at, marker))
            return at;
    return std::string_view::npos;
}

#else

void upperNotingOpens(std::string_view text, std::string& upper, std::vector<std::uint32_t>& opens)
{
    upperNotingOpensPlain(text, upper, opens);
}

std::size_t findMarker(std::string_view text, std::string_view marker, std::size_t from)
{
    return findMarkerPlain(text, marker, from);
}

#endif

} // namespace cardmill::scan
