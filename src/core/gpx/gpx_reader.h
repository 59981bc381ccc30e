// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads GPX 1.0 and 1.1 files in one pass with libxml2's SAX parser, handing
// each waypoint, route point and track point to a handler as soon as it is
// complete, so the memory used is what the handler keeps.
//
// Refused: files that are not well-formed or are cut short, another root
// element than gpx, a document type that declares entities (the "billion
// laughs" and external-entity tricks), a single token larger than
// GpxReadLimits::maxPendingBytes, more points than maxPoints. Each is an
// error with its line; the points before it have been handed over.
// Points without a usable lat or lon, or outside +-90 / +-180 degrees, with
// a number field (ele, sat, hdop, pdop, speed, course) that holds something
// other than a number (an empty one counts as absent), or that the handler
// refuses, are passed over and counted, the first with its line and reason.
// Encodings: UTF-8 (with or without a byte order mark), UTF-16 (by its byte
// order mark or the first bytes) and whatever the XML declaration names that
// the system converts (ISO-8859-1, Windows-1252, ...); texts reach the
// handler as UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/gpx/gpx_time.h"

namespace wp2 {

enum class GpxKind { Waypoint, Route, Track };

struct GpxPoint {
    double latitude = 0.0;            // degrees
    double longitude = 0.0;           // degrees
    std::optional<double> elevation;  // metres
    std::optional<UtcTime> time;
    std::string name, comment, description, symbol, fix;  // UTF-8
    std::optional<double> speed;                          // metres per second
    std::optional<double> course;                         // degrees
    std::optional<int> satellites;
    std::optional<double> hdop, pdop;
    int line = 0;  // where the point's start tag ends
};

class GpxHandler {
public:
    virtual ~GpxHandler() = default;
    // A route or a track segment begins; its points follow.
    virtual void pieceStart(GpxKind kind) { (void)kind; }
    // The <name> of the route begun last (it comes before the route's points).
    virtual void pieceName(GpxKind kind, const std::string& name) {
        (void)kind;
        (void)name;
    }
    // Why the point is refused (a value it cannot keep); "" when it was
    // taken or is not of the kind the handler wants.
    virtual std::string point(GpxKind kind, const GpxPoint& point) = 0;
};

struct GpxReadLimits {
    std::size_t maxPoints = 2000000;
    std::size_t maxPendingBytes = 8u << 20;
    std::size_t maxTextBytes = 4000;  // longer texts are cut (at a character boundary)
};

struct GpxReadResult {
    bool ok = false;    // read to the end without an error
    std::string error;  // what stopped the reading
    int errorLine = 0;  // its line (0 when the file could not be read at all)
    int points = 0;     // points the handler took
    int refused = 0;    // points passed over
    int firstRefusedLine = 0;
    std::string firstRefusedReason;

    // "line 12: not well-formed (invalid token)" and the like; empty when ok.
    std::string errorText() const;
};

GpxReadResult readGpxFile(const std::string& path, GpxHandler& handler,
                          const GpxReadLimits& limits = {});
GpxReadResult readGpxBytes(std::string_view bytes, GpxHandler& handler,
                           const GpxReadLimits& limits = {});

}  // namespace wp2
