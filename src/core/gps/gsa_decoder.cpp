// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/gsa_decoder.h"

#include "core/gps/nmea_field.h"

namespace wp2 {

bool GsaDecoder::decode(std::string_view line) {
    if (!hasSentenceType(line, "GSA")) {
        return false;
    }
    std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
        return false;
    }
    // Selection mode, ",", fix type: fixed places after the first ",".
    std::size_t fixPos = comma + 3;
    if (fixPos >= line.size()) {
        return false;
    }
    int type = 0;
    switch (line[fixPos]) {
        case '1':
            type = 0;
            break;
        case '2':
            type = 2;
            break;
        case '3':
            type = 3;
            break;
        default:
            return false;
    }
    NmeaFields fields(line, fixPos);
    fields.next();  // the rest of the fix-type field
    std::array<int, 12> used{};
    for (int& prn : used) {
        prn = fields.nextInt();
    }
    // Each value is read from its own characters only.
    double p = nmeaDouble(fields.next());
    double h = nmeaDouble(fields.next());
    double v = nmeaDouble(fields.restUntilStar());
    // "inf" or "1e999" would reach the track and pushpin files, whose readers refuse it.
    if (!allFinite({p, h, v})) {
        return false;
    }

    fixType = type;
    satellites = used;
    pdop = p;
    hdop = h;
    vdop = v;
    return true;
}

int GsaDecoder::usedCount() const {
    int n = 0;
    for (int prn : satellites) {
        if (prn != 0) {
            ++n;
        }
    }
    return n;
}

}  // namespace wp2
