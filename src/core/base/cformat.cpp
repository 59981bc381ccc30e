// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/cformat.h"

#include <locale.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace wp2 {

namespace {

locale_t cLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// Switches the calling thread to the C locale for the lifetime of the guard.
class CLocaleGuard {
public:
    CLocaleGuard() : previous_(uselocale(cLocale())) {}
    ~CLocaleGuard() { uselocale(previous_); }
    CLocaleGuard(const CLocaleGuard&) = delete;
    CLocaleGuard& operator=(const CLocaleGuard&) = delete;

private:
    locale_t previous_;
};

// Exact powers of ten: an integer below 2^53 divided by one of them is the
// correctly rounded value of the decimal.
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

}  // namespace

std::string vcformat(const char* fmt, va_list args) {
    CLocaleGuard guard;
    char small[128];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0) {
        return {};
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        return std::string(small, static_cast<std::size_t>(n));
    }
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, args);
    return std::string(big.data(), static_cast<std::size_t>(n));
}

std::string cformat(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = vcformat(fmt, args);
    va_end(args);
    return s;
}

std::size_t cparseDouble(const char* text, double& out) {
    char* end = nullptr;
    out = strtod_l(text, &end, cLocale());
    return static_cast<std::size_t>(end - text);
}

std::optional<double> parseNumber(std::string_view text) {
    // Most numbers are plain decimals of at most 15 digits: an integer below
    // 2^53 divided by an exact power of ten is the correctly rounded value.
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    p += (p != end && (*p == '-' || *p == '+'));
    const char* const first = p;
    std::uint64_t digits = 0;
    for (; p != end && static_cast<unsigned>(*p - '0') < 10; ++p) {
        digits = digits * 10 + static_cast<unsigned>(*p - '0');
    }
    std::ptrdiff_t count = p - first, decimals = 0;
    if (p != end && *p == '.') {
        const char* const fraction = ++p;
        for (; p != end && static_cast<unsigned>(*p - '0') < 10; ++p) {
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
        }
        decimals = p - fraction;
        count += decimals;
    }
    if (p == end && count > 0 && count <= 15) {
        const double value = static_cast<double>(digits) / kPowersOfTen[decimals];
        return negative ? -value : value;
    }
    // Anything longer, or with an exponent: the sign was taken, the rest must
    // start with a digit or a point (from_chars would take "inf" and a second sign).
    if (first == end || (*first != '.' && static_cast<unsigned>(*first - '0') >= 10)) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [stop, ec] = std::from_chars(first, end, value);
    if (ec != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace wp2
