#include "core/gpx/gpx_writer.h"

#include <libxml/xmlwriter.h>

#include <charconv>
#include <cmath>

namespace wp2 {

namespace {

constexpr const char* kGpxNamespace = "http://www.topografix.com/GPX/1/1";
constexpr const char* kTrackPointExtension =
    "http://www.garmin.com/xmlschemas/TrackPointExtension/v2";

const xmlChar* x(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Length of the well-formed UTF-8 sequence at s[0..], 0 when it is not one.
std::size_t utf8Sequence(std::string_view s, char32_t& c) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = b(0);
    std::size_t n = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (s.size() < n) {
        return 0;
    }
    for (std::size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (b(i) & 0x3F);
    }
    const bool overlong = (n == 3 && c < 0x800) || (n == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return n;
}

int writeToSink(void* context, const char* data, int size) {
    auto* sink = static_cast<GpxWriter::Sink*>(context);
    return (*sink)(data, static_cast<std::size_t>(size)) ? size : -1;
}

}  // namespace

struct GpxWriter::State {
    Sink sink;
    xmlTextWriterPtr writer = nullptr;
    ~State() {
        if (writer) {
            xmlFreeTextWriter(writer);
        }
    }
};

GpxWriter::Sink fileSink(std::FILE* file) {
    return [file](const char* data, std::size_t size) {
        return std::fwrite(data, 1, size, file) == size;
    };
}

std::string gpxNumber(double value) {
    char text[400];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return ec == std::errc() ? std::string(text, end) : std::string("0");
}

double reversibleConversion(double value, double (*to)(double), double (*back)(double)) {
    const double converted = to(value);
    if (!std::isfinite(converted)) {
        return converted;
    }
    // Nine decimals (a tenth of a millimetre in degrees) usually suffice and
    // keep the file tidy; otherwise the nearest double that converts back.
    char text[64];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, converted, std::chars_format::fixed, 9);
    double short9 = 0.0;
    if (ec == std::errc() && std::from_chars(text, end, short9).ec == std::errc() &&
        back(short9) == value) {
        return short9;
    }
    double below = converted, above = converted;
    for (int step = 0; step < 4 && back(below) != value && back(above) != value; ++step) {
        below = std::nextafter(below, -HUGE_VAL);
        above = std::nextafter(above, HUGE_VAL);
    }
    return back(below) == value ? below : back(above) == value ? above : converted;
}

std::string xmlSafeText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        char32_t c = 0;
        const std::size_t n = utf8Sequence(utf8, c);
        if (n > 0 && allowedInXml(c)) {
            out.append(utf8.data(), n);
            utf8.remove_prefix(n);
        } else {
            out += "\xEF\xBF\xBD";
            utf8.remove_prefix(n > 0 ? n : 1);
        }
    }
    return out;
}

GpxWriter::GpxWriter(Sink sink) : state_(std::make_unique<State>()) {
    state_->sink = std::move(sink);
    xmlOutputBufferPtr out = xmlOutputBufferCreateIO(&writeToSink, nullptr, &state_->sink, nullptr);
    state_->writer = out ? xmlNewTextWriter(out) : nullptr;
    if (!state_->writer) {
        if (out) {
            xmlOutputBufferClose(out);
        }
        ok_ = false;
        return;
    }
    xmlTextWriterSetIndent(state_->writer, 1);
    xmlTextWriterSetIndentString(state_->writer, x("  "));
}

GpxWriter::~GpxWriter() = default;

bool GpxWriter::begin() {
    xmlTextWriterPtr w = state_->writer;
    ok_ = ok_ && xmlTextWriterStartDocument(w, nullptr, "UTF-8", nullptr) >= 0 &&
          xmlTextWriterStartElement(w, x("gpx")) >= 0 &&
          xmlTextWriterWriteAttribute(w, x("version"), x("1.1")) >= 0 &&
          xmlTextWriterWriteAttribute(w, x("creator"), x("Wayplot2")) >= 0 &&
          xmlTextWriterWriteAttribute(w, x("xmlns"), x(kGpxNamespace)) >= 0 &&
          xmlTextWriterWriteAttribute(w, x("xmlns:gpxtpx"), x(kTrackPointExtension)) >= 0;
    return ok_;
}

bool GpxWriter::element(const char* name, std::string_view text) {
    const std::string safe = xmlSafeText(text);
    ok_ = ok_ && xmlTextWriterWriteElement(state_->writer, x(name), x(safe.c_str())) >= 0;
    return ok_;
}

bool GpxWriter::number(const char* name, double value) {
    // Digits, a sign and a point: nothing to make safe.
    const std::string text = gpxNumber(value);
    ok_ = ok_ && xmlTextWriterWriteElement(state_->writer, x(name), x(text.c_str())) >= 0;
    return ok_;
}

bool GpxWriter::writePoint(const char* name, const GpxPoint& p) {
    xmlTextWriterPtr w = state_->writer;
    ok_ = ok_ && xmlTextWriterStartElement(w, x(name)) >= 0 &&
          xmlTextWriterWriteAttribute(w, x("lat"), x(gpxNumber(p.latitude).c_str())) >= 0 &&
          xmlTextWriterWriteAttribute(w, x("lon"), x(gpxNumber(p.longitude).c_str())) >= 0;
    // The schema's order: ele, time, name, cmt, desc, sym, fix, sat, hdop, pdop, extensions.
    if (p.elevation && std::isfinite(*p.elevation)) {
        number("ele", *p.elevation);
    }
    if (p.time) {
        const std::string time = formatIsoTime(*p.time);
        ok_ = ok_ && xmlTextWriterWriteElement(w, x("time"), x(time.c_str())) >= 0;
    }
    if (!p.name.empty()) {
        element("name", p.name);
    }
    if (!p.comment.empty()) {
        element("cmt", p.comment);
    }
    if (!p.description.empty()) {
        element("desc", p.description);
    }
    if (!p.symbol.empty()) {
        element("sym", p.symbol);
    }
    if (p.fix == "none" || p.fix == "2d" || p.fix == "3d" || p.fix == "dgps" || p.fix == "pps") {
        element("fix", p.fix);
    }
    if (p.satellites && *p.satellites >= 0) {
        element("sat", std::to_string(*p.satellites));
    }
    if (p.hdop && std::isfinite(*p.hdop) && *p.hdop >= 0.0) {
        number("hdop", *p.hdop);
    }
    if (p.pdop && std::isfinite(*p.pdop) && *p.pdop >= 0.0) {
        number("pdop", *p.pdop);
    }
    const bool speed = p.speed && std::isfinite(*p.speed) && *p.speed >= 0.0;
    const bool course =
        p.course && std::isfinite(*p.course) && *p.course >= 0.0 && *p.course < 360.0;
    if (speed || course) {
        ok_ = ok_ && xmlTextWriterStartElement(w, x("extensions")) >= 0 &&
              xmlTextWriterStartElement(w, x("gpxtpx:TrackPointExtension")) >= 0;
        if (speed) {
            number("gpxtpx:speed", *p.speed);
        }
        if (course) {
            number("gpxtpx:course", *p.course);
        }
        ok_ = ok_ && xmlTextWriterEndElement(w) >= 0 && xmlTextWriterEndElement(w) >= 0;
    }
    ok_ = ok_ && xmlTextWriterEndElement(w) >= 0;
    return ok_;
}

bool GpxWriter::waypoint(const GpxPoint& point) {
    return writePoint("wpt", point);
}

bool GpxWriter::beginTrack(std::string_view name) {
    ok_ = ok_ && xmlTextWriterStartElement(state_->writer, x("trk")) >= 0;
    if (!name.empty()) {
        element("name", name);
    }
    return ok_;
}

bool GpxWriter::beginSegment() {
    ok_ = ok_ && xmlTextWriterStartElement(state_->writer, x("trkseg")) >= 0;
    return ok_;
}

bool GpxWriter::trackPoint(const GpxPoint& point) {
    return writePoint("trkpt", point);
}

bool GpxWriter::endSegment() {
    ok_ = ok_ && xmlTextWriterEndElement(state_->writer) >= 0;
    return ok_;
}

bool GpxWriter::endTrack() {
    return endSegment();
}

bool GpxWriter::finish() {
    ok_ = ok_ && xmlTextWriterEndDocument(state_->writer) >= 0 &&
          xmlTextWriterFlush(state_->writer) >= 0;
    return ok_;
}

}  // namespace wp2
