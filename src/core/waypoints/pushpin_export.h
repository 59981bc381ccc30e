// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Export of the pushpin collection, index 0 first: an ESRI Shapefile of
// points with a dBASE table (Name, Longitude, Latitude, Descr), or a
// semicolon-separated text file with the columns the user picks. Both write
// each character's low byte; the Shapefile says so in a .cpg file
// (ISO-8859-1) beside its table so that readers decode accented names.

#include <string>

#include "core/base/result.h"
#include "core/waypoints/pushpins.h"

namespace wp2 {

inline constexpr const char* kExportFilter =
    "ESRI Shape file (*.shp)|*.shp|Text file (*.txt)|*.txt|GPX 1.1 (*.gpx)|*.gpx||";
inline constexpr const char* kExportDefaultExtension = "txt";
inline constexpr const char* kExportProposedName = "Pushpins_Export";
inline constexpr const char* kShapefileCodePage = "ISO-8859-1";

// The switches of the Export format dialog, with the dialog's defaults.
struct ExportFields {
    bool longitude = true;
    bool latitude = true;
    bool note = false;
    bool name = true;
};

// Writes PATH's .shp, .shx, .dbf and .cpg. Fails (nothing reported) when the
// files cannot be created or written; files of an earlier export of that name
// are then left as they were.
Result<> exportShapefile(const Pushpins& pushpins, const std::string& path);

// The text file's header line and one pushpin's line, "\r\n" included.
std::string exportTextHeader(const ExportFields& fields);
std::string exportTextLine(const Pushpin& pushpin, const ExportFields& fields);

// Writes the text file, replacing an existing one atomically. When it cannot
// be written the result is the failure (nothing is reported) and an existing
// file stays as it was.
Result<> exportText(const Pushpins& pushpins, const std::string& path, const ExportFields& fields);

}  // namespace wp2
