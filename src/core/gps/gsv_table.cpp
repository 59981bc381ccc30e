// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/gsv_table.h"

#include "core/gps/nmea_field.h"

namespace wp2 {

bool GsvTable::decode(std::string_view line, SkySatellites& sky) {
    if (line.size() < 12 || !hasSentenceType(line, "GSV")) {
        return false;
    }
    if (line[7] == ',') {
        clearBuilding();
        return false;
    }
    totalMessages_ = line[7] - '0';
    messageNumber_ = line[9] - '0';
    if (messageNumber_ == 1) {
        clearBuilding();
    }
    NmeaFields fields(line, 11);
    inView_ = nmeaInt(fields.next());
    if (inView_ == 0) {
        clearBuilding();
        publish(sky);
        return true;
    }
    while (builtCount_ < kHalf) {
        SatelliteInfo& rec = records_[static_cast<std::size_t>(buildingOffset_ + builtCount_)];
        rec.prn = nmeaInt(fields.next());
        rec.elevation = nmeaInt(fields.next());
        rec.azimuth = nmeaInt(fields.next());
        rec.snr = nmeaInt(fields.nextUntilStar());
        rec.filled = 1;
        rec.constellation = constellationOf(line[1], line[2], rec.prn);
        ++builtCount_;
        if (fields.peek() == '*' || fields.atEnd() || builtCount_ >= inView_) {
            break;
        }
        fields.skip();  // the "," after the SNR
    }
    if (messageNumber_ == totalMessages_) {
        publish(sky);
        clearBuilding();
    }
    return true;
}

std::optional<SatelliteInfo> GsvTable::satellite(int i) const {
    if (i < 0 || i >= kHalf) {
        return std::nullopt;
    }
    const SatelliteInfo& rec = records_[static_cast<std::size_t>(publishedOffset_ + i)];
    if (!rec.filled) {
        return std::nullopt;
    }
    return rec;
}

void GsvTable::clearBuilding() {
    for (int i = 0; i < kHalf; ++i) {
        records_[static_cast<std::size_t>(buildingOffset_ + i)].filled = 0;
    }
    builtCount_ = 0;
}

void GsvTable::publish(SkySatellites& sky) {
    publishedCount_ = builtCount_;
    std::swap(publishedOffset_, buildingOffset_);
    sky.count = publishedCount_;
    for (int i = 0; i < publishedCount_; ++i) {
        sky.records[static_cast<std::size_t>(i)] =
            records_[static_cast<std::size_t>(publishedOffset_ + i)];
    }
}

}  // namespace wp2
