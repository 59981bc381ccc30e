// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/map_scale.h"

namespace wp2 {

namespace {
constexpr double kFootMetres = 0.305;
constexpr int kFootSteps = 6;
constexpr MapScaleTable kImperialBase = {25,  100, 150, 250, 400, 600, 0.2, 0.3, 0.5,
                                         0.8, 1.2, 2,   3,   5,   8,   12,  20,  30,
                                         50,  80,  120, 200, 300, 500, 800};
}  // namespace

const MapScaleTable& metricScaleTable() {
    static const MapScaleTable table = {10,     25,     50,     80,     120,   200,    300,
                                        500,    800,    1200,   2000,   3000,  5000,   8000,
                                        12000,  20000,  30000,  50000,  80000, 120000, 200000,
                                        300000, 500000, 800000, 1200000};
    return table;
}

MapScaleTable imperialScaleTable(double metresPerMile) {
    MapScaleTable table = kImperialBase;
    for (int i = 0; i < kMapScaleSteps; ++i) {
        table[static_cast<std::size_t>(i)] *= i < kFootSteps ? kFootMetres : metresPerMile;
    }
    return table;
}

const MapScaleTable& scaleTableForUnit(int unitCode) {
    static const MapScaleTable us = imperialScaleTable(kUsMileMetres);
    static const MapScaleTable nautical = imperialScaleTable(kNauticalMileMetres);
    if (unitCode == UnitCode::US) {
        return us;
    }
    if (unitCode == UnitCode::Nautical) {
        return nautical;
    }
    return metricScaleTable();
}

}  // namespace wp2
