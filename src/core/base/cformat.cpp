#include "core/base/cformat.h"

#include <locale.h>

#include <clocale>
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

}  // namespace wp2
