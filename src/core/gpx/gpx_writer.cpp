// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gpx/gpx_writer.h"

#include <libxml/entities.h>
#include <libxml/xmlmemory.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/base/utf.h"
#include "core/nav/angles.h"
#include "core/track/track_point.h"

namespace wp2 {

namespace {

// The document's start, up to the root element's closing ">" (or "/>" when
// the document holds nothing).
constexpr std::string_view kStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gpx version=\"1.1\" creator=\"Wayplot2\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
    "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\"";

// Output is handed to the sink in pieces of about this size.
constexpr std::size_t kPendingLimit = 64 * 1024;

// Below this magnitude a number's nine-decimal multiple stays under 10^15,
// where distinct multiples are distinct doubles and scaling errs far less
// than half a unit.
constexpr double kScaledLimit = 1e6;

// The most digits an xs:decimal may have for libxml2's schema validation
// (xmllint).
constexpr int kDecimalDigits = 24;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Writes the shortest fixed-point text that reads back as `value` (what
// std::to_chars gives in chars_format::fixed) at `out`, which has room for
// 340 characters; returns its end. Most numbers written here have at most
// nine decimals: when `value` is exactly what a reader makes of its
// nine-decimal text (an integer below 10^15 divided by 10^9), that text
// without its trailing zeros is the shortest, and is written directly.
char* putNumber(char* out, double value) {
    const double magnitude = std::fabs(value);
    if (magnitude < kScaledLimit) {
        const auto digits = static_cast<std::uint64_t>(magnitude * 1e9 + 0.5);
        if (static_cast<double>(digits) / 1e9 == magnitude) {
            if (std::signbit(value)) {
                *out++ = '-';
            }
            out = std::to_chars(out, out + 24, digits / 1000000000).ptr;
            if (auto fraction = static_cast<std::uint32_t>(digits % 1000000000)) {
                // Nine digits, two at a time from the last, then the zeros at the end dropped.
                out[0] = '.';
                out[9] = static_cast<char>('0' + fraction % 10);
                fraction /= 10;
                for (int i = 7; i > 0; i -= 2, fraction /= 100) {
                    std::memcpy(out + i, kDigitPairs + 2 * (fraction % 100), 2);
                }
                out += 10;
                while (out[-1] == '0') {
                    --out;
                }
            }
            return out;
        }
    }
    auto [end, ec] = std::to_chars(out, out + 340, value, std::chars_format::fixed);
    if (ec != std::errc()) {
        *out = '0';
        return out + 1;
    }
    // A schema validator holds an xs:decimal in kDecimalDigits digits (libxml2
    // refuses longer ones): a tiny value is rounded to the decimals that fit.
    // Whole parts never need that many: the callers write only values an
    // import takes (writable), far below 10^24.
    const char* const point = std::find(out, end, '.');
    const auto whole = static_cast<int>(point - out) - (std::signbit(value) ? 1 : 0);
    const int wholeDigits = magnitude < 1.0 ? 0 : whole;
    if (point != end && wholeDigits + static_cast<int>(end - point - 1) > kDecimalDigits) {
        end = std::to_chars(out, out + 340, value, std::chars_format::fixed,
                            kDecimalDigits - wholeDigits)
                  .ptr;
        while (end[-1] == '0') {
            --end;
        }
        if (end[-1] == '.') {
            --end;
        }
        if (end - out == 2 && out[0] == '-' && out[1] == '0') {
            out[0] = '0';  // -0.000…01 rounded to nothing
            --end;
        }
    }
    return end;
}

// A number an import (ours too) takes: from `low` to `high`, so never NaN or
// infinite. A value beyond them is left out rather than written, since
// reading it back would refuse the whole point.
bool writable(const std::optional<double>& value, double low, double high) {
    return value && *value >= low && *value <= high;
}

// Puts texts and numbers one after another into a buffer with room for them.
struct Chars {
    char* at;

    template <std::size_t N>
    Chars& operator<<(const char (&literal)[N]) {
        std::memcpy(at, literal, N - 1);
        at += N - 1;
        return *this;
    }
    Chars& operator<<(std::string_view text) {
        at = std::copy(text.begin(), text.end(), at);
        return *this;
    }
    Chars& operator<<(double value) {
        at = putNumber(at, value);
        return *this;
    }
};

// What xmlEncodeSpecialChars replaces by a reference: a text without any of
// these comes out of it unchanged.
bool escapedByLibxml(unsigned char b) {
    return b == '<' || b == '>' || b == '&' || b == '"' || b == '\r';
}

// What a text needs before it goes out: nothing; libxml2's escaping; or first
// a check for what XML cannot carry (it holds bytes beyond ASCII or control
// characters other than tab and line ends).
enum class TextNeeds { Nothing, Escaping, Checking };

TextNeeds textNeeds(std::string_view text) {
    TextNeeds needs = TextNeeds::Nothing;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (b < 0x20 && b != '\t' && b != '\n' && b != '\r')) {
            return TextNeeds::Checking;
        }
        if (escapedByLibxml(b)) {
            needs = TextNeeds::Escaping;
        }
    }
    return needs;
}

}  // namespace

struct GpxWriter::State {
    Sink sink;
    std::string pending;  // output not yet handed to the sink
    bool bodyOpen = false;
};

GpxWriter::Sink fileSink(std::FILE* file) {
    return [file](const char* data, std::size_t size) {
        return std::fwrite(data, 1, size, file) == size;
    };
}

std::string gpxNumber(double value) {
    char text[340];
    return std::string(text, putNumber(text, value));
}

double reversibleConversion(double value, double (*to)(double), double (*back)(double)) {
    const double converted = to(value);
    if (!std::isfinite(converted)) {
        return converted;
    }
    // Nine decimals (a tenth of a millimetre in degrees) usually suffice and
    // keep the file tidy; otherwise the nearest double that converts back.
    // The nine-decimal value is found by scaling unless the scaled value lies
    // too near a half for the scaling to round as the decimal text would.
    const double scaled = converted * 1e9;
    double short9 = 0.0;
    bool rounded = false;
    if (std::fabs(scaled) < 1e12) {
        const auto whole = static_cast<double>(static_cast<std::int64_t>(scaled));
        const double fraction = std::fabs(scaled - whole);
        if (std::fabs(fraction - 0.5) > 1e-3) {
            short9 = (fraction < 0.5 ? whole : whole + (scaled < 0.0 ? -1.0 : 1.0)) / 1e9;
            rounded = true;
        }
    }
    if (!rounded) {
        char text[64];
        const auto [end, ec] =
            std::to_chars(text, text + sizeof text, converted, std::chars_format::fixed, 9);
        rounded = ec == std::errc() && std::from_chars(text, end, short9).ec == std::errc();
    }
    if (rounded && back(short9) == value) {
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
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t start = at;
        const char32_t c = nextCodePoint(utf8, at);
        if (c != kBadUtf8 && allowedInXml(c)) {
            out.append(utf8.data() + start, at - start);
        } else {
            // A bad sequence is replaced byte by byte, as XML readers do.
            appendUtf8(out, kReplacementCharacter);
            at = c == kBadUtf8 ? start + 1 : at;
        }
    }
    return out;
}

GpxWriter::GpxWriter(Sink sink) : state_(std::make_unique<State>()) {
    state_->sink = std::move(sink);
    state_->pending.reserve(kPendingLimit + 4096);
}

GpxWriter::~GpxWriter() = default;

bool GpxWriter::flush() {
    std::string& pending = state_->pending;
    if (ok_ && !pending.empty()) {
        ok_ = state_->sink(pending.data(), pending.size());
    }
    pending.clear();
    return ok_;
}

bool GpxWriter::begin() {
    state_->pending.append(kStart);
    return ok_;
}

void GpxWriter::openBody() {
    if (!state_->bodyOpen) {
        state_->pending += ">\n";
        state_->bodyOpen = true;
    }
}

// <element>text</element> on a line of its own. A text holding none of the
// characters XML escapes (most names and notes) goes out as it is; any other
// is escaped by libxml2.
void GpxWriter::text(std::string_view indent, std::string_view element, const std::string& text) {
    std::string safe;
    const std::string* source = &text;
    TextNeeds needs = textNeeds(text);
    if (needs == TextNeeds::Checking) {
        safe = xmlSafeText(text);
        source = &safe;
        needs = std::any_of(safe.begin(), safe.end(),
                            [](char c) { return escapedByLibxml(static_cast<unsigned char>(c)); })
                    ? TextNeeds::Escaping
                    : TextNeeds::Nothing;
    }
    xmlChar* escaped = nullptr;
    std::string_view value(*source);
    if (needs == TextNeeds::Escaping) {
        escaped = xmlEncodeSpecialChars(nullptr, reinterpret_cast<const xmlChar*>(source->c_str()));
        if (!escaped) {
            ok_ = false;
            return;
        }
        value = reinterpret_cast<const char*>(escaped);
    }
    std::string& pending = state_->pending;
    const std::size_t at = pending.size();
    pending.resize(at + indent.size() + 2 * element.size() + 6 + value.size());
    Chars out{pending.data() + at};
    out << indent << "<" << element << ">" << value << "</" << element << ">\n";
    xmlFree(escaped);
}

bool GpxWriter::writePoint(std::string_view indent, std::string_view element, const GpxPoint& p) {
    if (!ok_) {
        return false;
    }
    // Everything but the texts is put together here first: the longest
    // numbers (340 characters each, seven of them) and the markup fit.
    char buffer[4096];
    Chars out{buffer};
    // The children's indentation: two spaces more, and two more for each level below.
    char spaces[32];
    const std::size_t depth = std::min(indent.size(), sizeof spaces - 6);
    std::memset(spaces, ' ', sizeof spaces);
    const std::string_view child(spaces, depth + 2), grandchild(spaces, depth + 4),
        greatGrandchild(spaces, depth + 6);

    // The schema takes longitudes from -180 up to but not including 180 (a
    // pushpin may hold any up to 360): the same meridian, written so.
    double longitude = std::remainder(p.longitude, 360.0);
    if (longitude >= 180.0) {
        longitude = -180.0;
    }
    out << indent << "<" << element << " lat=\"" << p.latitude << "\" lon=\"" << longitude << "\"";
    bool children = false;
    const auto open = [&] {
        if (!children) {
            out << ">\n";
            children = true;
        }
    };
    const auto number = [&](std::string_view indent, std::string_view name, double value) {
        open();
        out << indent << "<" << name << ">" << value << "</" << name << ">\n";
    };
    // The schema's order: ele, time, name, cmt, desc, sym, fix, sat, hdop, pdop, extensions.
    if (writable(p.elevation, -kImportedAltitudeLimit, kImportedAltitudeLimit)) {
        number(child, "ele", *p.elevation);
    }
    if (p.time) {
        open();
        out << child << "<time>";
        out.at += formatIsoTime(*p.time, out.at);
        out << "</time>\n";
    }
    const std::pair<std::string_view, const std::string*> texts[] = {
        {"name", &p.name}, {"cmt", &p.comment}, {"desc", &p.description}, {"sym", &p.symbol}};
    for (const auto& [name, value] : texts) {
        if (!value->empty()) {
            open();
            state_->pending.append(buffer, out.at);
            out.at = buffer;
            text(child, name, *value);
        }
    }
    if (p.fix == "none" || p.fix == "2d" || p.fix == "3d" || p.fix == "dgps" || p.fix == "pps") {
        open();
        out << child << "<fix>" << p.fix << "</fix>\n";
    }
    if (p.satellites && *p.satellites >= 0) {
        number(child, "sat", *p.satellites);
    }
    if (writable(p.hdop, 0.0, kImportedDopLimit)) {
        number(child, "hdop", *p.hdop);
    }
    if (writable(p.pdop, 0.0, kImportedDopLimit)) {
        number(child, "pdop", *p.pdop);
    }
    const bool speed = writable(p.speed, 0.0, kImportedSpeedLimit * kKnotsToMps);
    const bool course =
        p.course && std::isfinite(*p.course) && *p.course >= 0.0 && *p.course < 360.0;
    if (speed || course) {
        open();
        out << child << "<extensions>\n" << grandchild << "<gpxtpx:TrackPointExtension>\n";
        if (speed) {
            number(greatGrandchild, "gpxtpx:speed", *p.speed);
        }
        if (course) {
            number(greatGrandchild, "gpxtpx:course", *p.course);
        }
        out << grandchild << "</gpxtpx:TrackPointExtension>\n" << child << "</extensions>\n";
    }
    if (children) {
        out << indent << "</" << element << ">\n";
    } else {
        out << "/>\n";
    }
    std::string& pending = state_->pending;
    pending.append(buffer, out.at);
    if (pending.size() >= kPendingLimit) {
        flush();
    }
    return ok_;
}

bool GpxWriter::waypoint(const GpxPoint& point) {
    openBody();
    return writePoint("  ", "wpt", point);
}

bool GpxWriter::beginTrack(std::string_view name) {
    openBody();
    state_->pending += "  <trk>\n";
    if (!name.empty()) {
        text("    ", "name", std::string(name));
    }
    return ok_;
}

bool GpxWriter::beginSegment() {
    state_->pending += "    <trkseg>\n";
    return ok_;
}

bool GpxWriter::trackPoint(const GpxPoint& point) {
    return writePoint("      ", "trkpt", point);
}

bool GpxWriter::endSegment() {
    state_->pending += "    </trkseg>\n";
    return ok_;
}

bool GpxWriter::endTrack() {
    state_->pending += "  </trk>\n";
    return ok_;
}

bool GpxWriter::beginRoute(std::string_view name) {
    openBody();
    state_->pending += "  <rte>\n";
    if (!name.empty()) {
        text("    ", "name", std::string(name));
    }
    return ok_;
}

bool GpxWriter::routePoint(const GpxPoint& point) {
    return writePoint("    ", "rtept", point);
}

bool GpxWriter::endRoute() {
    state_->pending += "  </rte>\n";
    return ok_;
}

bool GpxWriter::finish() {
    state_->pending += state_->bodyOpen ? "</gpx>\n" : "/>\n";
    return flush();
}

}  // namespace wp2
