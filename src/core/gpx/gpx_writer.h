// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes GPX 1.1 as a stream: the fixed markup and the numbers are written
// as they are, every text is escaped by libxml2 (xmlEncodeSpecialChars), and
// nothing but some kilobytes of output is held in memory.
// Elements come in the order the GPX 1.1 schema asks for, indented by two
// spaces a level.

#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/gpx/gpx_reader.h"

namespace wp2 {

class GpxWriter {
public:
    // Receives the bytes as they are produced; false stops the writing.
    using Sink = std::function<bool(const char* data, std::size_t size)>;

    explicit GpxWriter(Sink sink);
    ~GpxWriter();
    GpxWriter(const GpxWriter&) = delete;
    GpxWriter& operator=(const GpxWriter&) = delete;

    // Every call returns false once anything has failed; the output is then unusable.
    bool begin();
    bool waypoint(const GpxPoint& point);
    bool beginTrack(std::string_view name);
    bool beginSegment();
    bool trackPoint(const GpxPoint& point);
    bool endSegment();
    bool endTrack();
    // A <rte> with its <rtept> points.
    bool beginRoute(std::string_view name);
    bool routePoint(const GpxPoint& point);
    bool endRoute();
    // Closes the document and flushes everything to the sink.
    bool finish();

    bool ok() const { return ok_; }

private:
    void openBody();
    bool writePoint(std::string_view indent, std::string_view element, const GpxPoint& point);
    void text(std::string_view indent, std::string_view element, const std::string& text);
    bool flush();

    struct State;
    std::unique_ptr<State> state_;
    bool ok_ = true;
};

// A sink writing to a stream (the writer hands it 64 KiB at a time).
GpxWriter::Sink fileSink(std::FILE* file);

// The shortest decimal text (no exponent) that reads back as the same double.
std::string gpxNumber(double value);
// `value` converted with `to`, picked among the few doubles nearest the
// result so that converting it back with `back` gives `value` exactly (the
// shortest text when several do): radians written as degrees read back as
// the same radians.
double reversibleConversion(double value, double (*to)(double), double (*back)(double));
// Text safe for XML 1.0: characters XML cannot carry (controls other than
// tab and line ends, malformed UTF-8) become U+FFFD.
std::string xmlSafeText(std::string_view utf8);

}  // namespace wp2
