// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fast scans over runs of 16-bit characters, used on every received line:
// eight characters per step where the processor has SSE2, one at a time
// elsewhere. All give exactly the result of the plain loop.

#include <cstddef>

namespace wp2 {

// Index of the first CR or LF in p[0..n), or n.
std::size_t findLineEnd(const char16_t* p, std::size_t n);
// Index of the first c in p[0..n), or n.
std::size_t findChar(const char16_t* p, std::size_t n, char16_t c);
// XOR of p[0..n).
unsigned xorAll(const char16_t* p, std::size_t n);
// Each byte as a 16-bit character, sign-extended (0x80..0xFF become 0xFF80..0xFFFF).
void widenBytes(const unsigned char* bytes, std::size_t n, char16_t* out);

}  // namespace wp2
