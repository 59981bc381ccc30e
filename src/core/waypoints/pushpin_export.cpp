#include "core/waypoints/pushpin_export.h"

#include <shapefil.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/base/cformat.h"
#include "core/nav/angles.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/text16.h"

namespace wp2 {

namespace {

constexpr int kNameWidth = 20;
constexpr int kNumberWidth = 15;
constexpr int kNumberDecimals = 8;
constexpr int kDescrWidth = 100;

enum Field { kName = 0, kLongitude = 1, kLatitude = 2, kDescr = 3 };

// shapelib's file hooks, with its error texts kept off standard error: a
// failed export is reported by the result alone.
SAHooks quietHooks() {
    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.Error = [](const char*) {};
    return hooks;
}

bool addFields(DBFHandle dbf) {
    return DBFAddField(dbf, "Name", FTString, kNameWidth, 0) == kName &&
           DBFAddField(dbf, "Longitude", FTDouble, kNumberWidth, kNumberDecimals) == kLongitude &&
           DBFAddField(dbf, "Latitude", FTDouble, kNumberWidth, kNumberDecimals) == kLatitude &&
           DBFAddField(dbf, "Descr", FTString, kDescrWidth, 0) == kDescr;
}

bool writeRecord(SHPHandle shp, DBFHandle dbf, int index, const CPushpin& p) {
    double longitude = p.longitude * kRadToDeg;
    double latitude = p.latitude * kRadToDeg;
    bool ok = DBFWriteStringAttribute(dbf, index, kName, lowBytes(p.name, kNameWidth).c_str());
    ok = DBFWriteDoubleAttribute(dbf, index, kLongitude, longitude) && ok;
    ok = DBFWriteDoubleAttribute(dbf, index, kLatitude, latitude) && ok;
    ok = DBFWriteStringAttribute(dbf, index, kDescr, lowBytes(p.note, kDescrWidth).c_str()) && ok;
    SHPObject* shape = SHPCreateObject(SHPT_POINT, index + 1, 0, nullptr, nullptr, 1, &longitude,
                                       &latitude, nullptr, nullptr);
    if (!shape) {
        return false;
    }
    ok = SHPWriteObject(shp, -1, shape) >= 0 && ok;
    SHPDestroyObject(shape);
    return ok;
}

void appendColumn(std::string& line, bool& first, const std::string& text) {
    if (!first) {
        line += ';';
    }
    line += text;
    first = false;
}

}  // namespace

bool ExportShapefile(const CPushpins& pushpins, const std::string& path) {
    SAHooks hooks = quietHooks();
    SHPHandle shp = SHPCreateLL(path.c_str(), SHPT_POINT, &hooks);
    if (!shp) {
        return false;
    }
    DBFHandle dbf = DBFCreateLL(path.c_str(), kShapefileCodePage, &hooks);
    if (!dbf) {
        SHPClose(shp);
        return false;
    }
    bool ok = addFields(dbf);
    int index = 0;
    for (const CPushpin& p : pushpins) {
        if (!ok) {
            break;
        }
        ok = writeRecord(shp, dbf, index++, p);
    }
    DBFClose(dbf);
    SHPClose(shp);
    return ok;
}

std::string exportTextHeader(const ExportFields& fields) {
    std::string line;
    bool first = true;
    if (fields.name) {
        appendColumn(line, first, "Name");
    }
    if (fields.latitude) {
        appendColumn(line, first, "Latitude");
    }
    if (fields.longitude) {
        appendColumn(line, first, "Longitude");
    }
    if (fields.note) {
        appendColumn(line, first, "Note");
    }
    return line + "\r\n";
}

std::string exportTextLine(const CPushpin& p, const ExportFields& fields) {
    std::string line;
    bool first = true;
    if (fields.name) {
        appendColumn(line, first, lowBytes(p.name));
    }
    if (fields.latitude) {
        appendColumn(line, first, cformat("%lf", p.latitude * kRadToDeg));
    }
    if (fields.longitude) {
        appendColumn(line, first, cformat("%lf", p.longitude * kRadToDeg));
    }
    if (fields.note) {
        appendColumn(line, first, lowBytes(p.note));
    }
    return line + "\r\n";
}

bool ExportText(const CPushpins& pushpins, const std::string& path, const ExportFields& fields) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        reportExportFailed(path);
        return false;
    }
    std::string header = exportTextHeader(fields);
    bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    for (const CPushpin& p : pushpins) {
        if (!ok) {
            break;
        }
        std::string line = exportTextLine(p, fields);
        ok = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    }
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) {
        reportExportFailed(path);
    }
    return ok;
}

}  // namespace wp2
