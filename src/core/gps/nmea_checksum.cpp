// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/nmea_checksum.h"

#include "core/gps/char16_scan.h"

namespace wp2 {

namespace {

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    return -1;
}

}  // namespace

bool nmeaChecksumValid(std::u16string_view line) {
    std::size_t n = line.size();
    if (n < 6 || line[0] != u'$' || line[n - 3] != u'*') {
        return false;
    }
    int high = hexValue(line[n - 2]);
    int low = hexValue(line[n - 1]);
    if (high < 0 || low < 0) {
        return false;
    }
    // Characters are 16 bits wide: bytes above 0x7F arrive sign-extended, and
    // their high bits take part in the sum like the rest.
    return xorAll(line.data() + 1, n - 4) == static_cast<unsigned>(high * 16 + low);
}

}  // namespace wp2
