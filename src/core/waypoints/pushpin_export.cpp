// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin_export.h"

#include <fcntl.h>
#include <shapefil.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/cformat.h"
#include "core/base/utf.h"
#include "core/nav/angles.h"

namespace wp2 {

namespace {

namespace fs = std::filesystem;

// The files of one Shapefile export, in the order they are renamed.
constexpr const char* kShapefileExtensions[] = {".dbf", ".cpg", ".shx", ".shp"};

// Flushes a finished file to the disk; false (errno set) when that fails.
bool syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

constexpr int kNameWidth = 20;
constexpr int kNumberWidth = 15;
constexpr int kNumberDecimals = 8;
constexpr int kDescrWidth = 100;

enum Field { kName = 0, kLongitude = 1, kLatitude = 2, kDescr = 3 };

// The first write error shapelib met during an export: its close functions
// report none, so the hooks note it.
int shapeWriteError = 0;

SAHooks& defaultHooks() {
    static SAHooks hooks = [] {
        SAHooks h;
        SASetupDefaultHooks(&h);
        return h;
    }();
    return hooks;
}

void noteShapeWriteError(bool failed) {
    if (failed && shapeWriteError == 0) {
        shapeWriteError = errno != 0 ? errno : EIO;
    }
}

// shapelib's file hooks that note write errors, with its error texts kept off
// standard error: a failed export is reported by the result alone.
SAHooks checkedQuietHooks() {
    SAHooks hooks = defaultHooks();
    hooks.Error = [](const char*) {};
    hooks.FWrite = [](void* p, SAOffset size, SAOffset n, SAFile file) {
        const SAOffset done = defaultHooks().FWrite(p, size, n, file);
        noteShapeWriteError(done != n);
        return done;
    };
    hooks.FFlush = [](SAFile file) {
        const int rc = defaultHooks().FFlush(file);
        noteShapeWriteError(rc != 0);
        return rc;
    };
    hooks.FClose = [](SAFile file) {
        const int rc = defaultHooks().FClose(file);
        noteShapeWriteError(rc != 0);
        return rc;
    };
    return hooks;
}

bool addFields(DBFHandle dbf) {
    return DBFAddField(dbf, "Name", FTString, kNameWidth, 0) == kName &&
           DBFAddField(dbf, "Longitude", FTDouble, kNumberWidth, kNumberDecimals) == kLongitude &&
           DBFAddField(dbf, "Latitude", FTDouble, kNumberWidth, kNumberDecimals) == kLatitude &&
           DBFAddField(dbf, "Descr", FTString, kDescrWidth, 0) == kDescr;
}

bool writeRecord(SHPHandle shp, DBFHandle dbf, int index, const Pushpin& p) {
    double longitude = p.longitude * kRadToDeg;
    double latitude = p.latitude * kRadToDeg;
    bool ok = DBFWriteStringAttribute(dbf, index, kName, utf16LowBytes(p.name, kNameWidth).c_str());
    ok = DBFWriteDoubleAttribute(dbf, index, kLongitude, longitude) && ok;
    ok = DBFWriteDoubleAttribute(dbf, index, kLatitude, latitude) && ok;
    ok = DBFWriteStringAttribute(dbf, index, kDescr, utf16LowBytes(p.note, kDescrWidth).c_str()) &&
         ok;
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

Result<> exportShapefile(const Pushpins& pushpins, const std::string& path) {
    // Written under a temporary name beside the target and renamed over it
    // only when every file is complete, so a failed export keeps the old one.
    const fs::path target(path);
    const fs::path temporary =
        target.parent_path() / ("." + target.stem().string() + "." + std::to_string(::getpid()));
    SAHooks hooks = checkedQuietHooks();
    shapeWriteError = 0;
    errno = 0;
    // shapelib takes the name up to the last dot as the base of every file.
    const std::string shpName = temporary.string() + ".shp";
    SHPHandle shp = SHPCreateLL(shpName.c_str(), SHPT_POINT, &hooks);
    DBFHandle dbf = shp ? DBFCreateLL(shpName.c_str(), kShapefileCodePage, &hooks) : nullptr;
    bool ok = dbf && addFields(dbf);
    int index = 0;
    for (const Pushpin& p : pushpins) {
        if (!ok) {
            break;
        }
        ok = writeRecord(shp, dbf, index++, p);
    }
    int e = ok ? 0 : errno;
    if (dbf) {
        DBFClose(dbf);
    }
    if (shp) {
        SHPClose(shp);
    }
    if (shapeWriteError != 0) {
        ok = false;
        e = shapeWriteError;
    }
    for (const char* ext : kShapefileExtensions) {
        fs::path part = temporary;
        part += ext;
        if (ok && !syncFile(part.string())) {
            ok = false;
            e = errno;
        }
    }
    for (const char* ext : kShapefileExtensions) {
        fs::path part = temporary, final = target;
        part += ext;
        final.replace_extension(ext);
        if (ok && std::rename(part.c_str(), final.c_str()) != 0) {
            ok = false;
            e = errno;
        }
        ::unlink(part.c_str());
    }
    if (!ok) {
        return fail("write " + path,
                    e != 0 ? systemErrorText(e) : "the Shapefile could not be written", e);
    }
    return {};
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

std::string exportTextLine(const Pushpin& p, const ExportFields& fields) {
    std::string line;
    bool first = true;
    if (fields.name) {
        appendColumn(line, first, utf16LowBytes(p.name));
    }
    if (fields.latitude) {
        appendColumn(line, first, cformat("%lf", p.latitude * kRadToDeg));
    }
    if (fields.longitude) {
        appendColumn(line, first, cformat("%lf", p.longitude * kRadToDeg));
    }
    if (fields.note) {
        appendColumn(line, first, utf16LowBytes(p.note));
    }
    return line + "\r\n";
}

Result<> exportText(const Pushpins& pushpins, const std::string& path, const ExportFields& fields) {
    return replaceFileAtomically(path, [&](std::FILE* file) {
        const std::string header = exportTextHeader(fields);
        bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size();
        for (const Pushpin& p : pushpins) {
            if (!written) {
                break;
            }
            const std::string line = exportTextLine(p, fields);
            written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
        }
        return written;
    });
}

}  // namespace wp2
