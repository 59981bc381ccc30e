// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Import of waypoints into the pushpin collection from Geocaching .loc files,
// comma-separated text ("Lat,Lon,*Name,*Alt,*Note") and other pushpin files.
// A file is read into a temporary collection; every pushpin not within 5 m of
// a pushpin that was already there is then added in front.

#include <cstdio>
#include <optional>
#include <string>

#include "core/base/result.h"
#include "core/waypoints/pushpins.h"

namespace wp2 {

class FileChooser;

inline constexpr const char* kImportFilter =
    "Geocaching(*.loc)|*.loc|Text CSV (*.csv,*.txt)|*.csv; *.txt|Pushpins file (*.kpp)|*.kpp|"
    "GPX (*.gpx)|*.gpx||";
inline constexpr const char* kImportDefaultExtension = "kpp";
inline constexpr double kImportMergeRadius = 5.0;
// Only this many bytes of a .loc file are looked at.
inline constexpr std::size_t kLocReadLimit = 200000;

// Text reader. Adds each line's waypoint at index 0 of `pushpins`. A line
// fails when it has fewer than two fields, a latitude, longitude or altitude
// that is not a number as parseNumber reads it ("45,5", "10.5.5", "0x1p3",
// "abc"), a position that is not on the earth (latitude beyond +-90,
// longitude beyond +-180), or anything else impossiblePushpin refuses (an
// altitude beyond ValueRange::Imported, a control character in the name or
// note). On failure lineNumber is the failing line and the failure says
// "line 4" and "altitude \"abc\" is not a number"; on success lineNumber is
// the last line read.
Result<> readCsv(Pushpins& pushpins, std::FILE* file, int& lineNumber);

// Waypoints a reader passed over: how many, the first one's line and why.
struct PassedOver {
    int count = 0;
    int firstLine = 0;
    std::string firstReason;

    void add(int line, const std::string& reason);
    // "2 refused, the first at line 5: lat \"45,5\" is not a number"; "" for none.
    std::string text() const;
};

// Geocaching reader: one pushpin per <waypoint> block, named by the id of its
// name element. A block whose lat or lon is not a number, whose position is
// not on the earth or that impossiblePushpin refuses is passed over and
// counted, with the line where the block begins.
PassedOver readLoc(Pushpins& pushpins, std::FILE* file);

// Moves the pushpins of `imported` that lie more than kImportMergeRadius from
// every pushpin already in `pushpins` to the front of it, in their order, and
// moves the target index up by the number added. Returns that number; the
// pushpins left in `imported` are the ones skipped.
int mergeImported(Pushpins& pushpins, Pushpins& imported);

struct ImportResult {
    enum class Status {
        Imported,          // the file was read to its end
        FormatError,       // a text line or GPX element failed; what came before was merged
        Damaged,           // a pushpin file ended early; what came before was merged
        CannotOpen,        // nothing happened
        UnknownExtension,  // nothing happened
        Cancelled,         // the user chose no file
    };
    Status status = Status::Cancelled;
    int read = 0;              // pushpins the file gave
    int added = 0;             // pushpins added to the collection
    int line = 0;              // text files: the last line read (the failing one on a format error)
    int refused = 0;           // GPX and .loc: waypoints passed over (impossible values)
    std::string problem;       // why the reading stopped or waypoints were refused
    std::string path;          // the file
    PushpinLoadResult loaded;  // pushpin files: how the reading went
};

// Reads the file by its extension (csv/txt, loc, kpp, gpx, in any case) and
// merges it.
ImportResult importPushpins(Pushpins& pushpins, const std::string& path);

// What the user is told about an import (with kApplicationCaption and the
// exclamation icon): a failing text line, a damaged pushpin file, or a GPX or
// .loc file not taken whole (what was added and why the rest was not).
// Nothing for a clean import or none at all.
std::optional<std::string> importMessage(const ImportResult& result);

// Asks for the file with the open-file dialog of files, then importPushpins.
ImportResult chooseAndImportPushpins(Pushpins& pushpins, FileChooser& files);

}  // namespace wp2
