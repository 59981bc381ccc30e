// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/char16_scan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wp2 {

#if defined(__SSE2__)

namespace {

__m128i load8(const char16_t* p) {
    __m128i v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Position of the first set lane of a 16-bit compare mask.
std::size_t firstLane(int mask) {
    return static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
}

}  // namespace

std::size_t findLineEnd(const char16_t* p, std::size_t n) {
    const __m128i cr = _mm_set1_epi16(u'\r');
    const __m128i lf = _mm_set1_epi16(u'\n');
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        __m128i v = load8(p + i);
        int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, lf)));
        if (mask != 0) {
            return i + firstLane(mask);
        }
    }
    while (i < n && p[i] != u'\r' && p[i] != u'\n') {
        ++i;
    }
    return i;
}

std::size_t findChar(const char16_t* p, std::size_t n, char16_t c) {
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(load8(p + i), wanted));
        if (mask != 0) {
            return i + firstLane(mask);
        }
    }
    while (i < n && p[i] != c) {
        ++i;
    }
    return i;
}

unsigned xorAll(const char16_t* p, std::size_t n) {
    __m128i acc = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        acc = _mm_xor_si128(acc, load8(p + i));
    }
    char16_t lanes[8];
    std::memcpy(lanes, &acc, sizeof lanes);
    unsigned sum = 0;
    for (char16_t lane : lanes) {
        sum ^= lane;
    }
    for (; i < n; ++i) {
        sum ^= p[i];
    }
    return sum;
}

void widenBytes(const unsigned char* bytes, std::size_t n, char16_t* out) {
    const __m128i zero = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m128i v;
        std::memcpy(&v, bytes + i, sizeof v);
        __m128i sign = _mm_cmpgt_epi8(zero, v);
        __m128i low = _mm_unpacklo_epi8(v, sign);
        __m128i high = _mm_unpackhi_epi8(v, sign);
        std::memcpy(out + i, &low, sizeof low);
        std::memcpy(out + i + 8, &high, sizeof high);
    }
    for (; i < n; ++i) {
        out[i] = static_cast<char16_t>(static_cast<short>(static_cast<signed char>(bytes[i])));
    }
}

#else

void widenBytes(const unsigned char* bytes, std::size_t n, char16_t* out) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<char16_t>(static_cast<short>(static_cast<signed char>(bytes[i])));
    }
}

std::size_t findLineEnd(const char16_t* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n && p[i] != u'\r' && p[i] != u'\n') {
        ++i;
    }
    return i;
}

std::size_t findChar(const char16_t* p, std::size_t n, char16_t c) {
    std::size_t i = 0;
    while (i < n && p[i] != c) {
        ++i;
    }
    return i;
}

unsigned xorAll(const char16_t* p, std::size_t n) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sum ^= p[i];
    }
    return sum;
}

#endif

}  // namespace wp2
