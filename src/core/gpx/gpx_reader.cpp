#include "core/gpx/gpx_reader.h"

#include <expat.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/base/cformat.h"

namespace wp2 {

namespace {

constexpr char kNamespaceSeparator = ' ';
constexpr std::size_t kChunkSize = 64 * 1024;

// What an open element is, as far as reading points goes.
enum class Element {
    Gpx,
    Wpt,
    Rte,
    Trk,
    Trkseg,
    Point,  // rtept or trkpt
    Extensions,
    Field,  // a child of a point whose text is read
    Other,
};

// The children of a point whose text is kept.
enum class Field { Name, Cmt, Desc, Sym, Ele, Time, Fix, Sat, Hdop, Pdop, Speed, Course, None };

struct FieldName {
    const char* name;
    Field field;
};
constexpr FieldName kFields[] = {
    {"name", Field::Name}, {"cmt", Field::Cmt},     {"desc", Field::Desc},
    {"sym", Field::Sym},   {"ele", Field::Ele},     {"time", Field::Time},
    {"fix", Field::Fix},   {"sat", Field::Sat},     {"hdop", Field::Hdop},
    {"pdop", Field::Pdop}, {"speed", Field::Speed}, {"course", Field::Course},
};

bool isGpxNamespace(std::string_view ns) {
    return ns.empty() || ns == "http://www.topografix.com/GPX/1/1" ||
           ns == "http://www.topografix.com/GPX/1/0";
}

// Splits "uri<sep>local" as expat reports namespaced names.
void splitName(const char* full, std::string_view& ns, std::string_view& local) {
    std::string_view all(full);
    const std::size_t sep = all.rfind(kNamespaceSeparator);
    if (sep == std::string_view::npos) {
        ns = {};
        local = all;
    } else {
        ns = all.substr(0, sep);
        local = all.substr(sep + 1);
    }
}

std::string_view trimmed(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// An xsd:decimal or xsd:double as GPX writers produce them; finite only.
std::optional<double> number(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

class Reader {
public:
    Reader(GpxHandler& handler, const GpxReadLimits& limits)
        : handler_(handler),
          limits_(limits),
          parser_(XML_ParserCreateNS(nullptr, kNamespaceSeparator)) {
        XML_SetUserData(parser_.get(), this);
        XML_SetElementHandler(parser_.get(), &Reader::onStart, &Reader::onEnd);
        XML_SetCharacterDataHandler(parser_.get(), &Reader::onText);
        XML_SetEntityDeclHandler(parser_.get(), &Reader::onEntityDecl);
        XML_SetCommentHandler(parser_.get(), [](void* self, const XML_Char*) {
            static_cast<Reader*>(self)->sawEvent();
        });
        XML_SetProcessingInstructionHandler(parser_.get(),
                                            [](void* self, const XML_Char*, const XML_Char*) {
                                                static_cast<Reader*>(self)->sawEvent();
                                            });
        XML_SetParamEntityParsing(parser_.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    }

    // Feeds one piece; false once the reading has stopped.
    bool feed(const char* data, std::size_t size, bool last) {
        if (!parser_) {
            return stop(0, "out of memory");
        }
        fed_ += size;
        if (XML_Parse(parser_.get(), data, static_cast<int>(size), last) != XML_STATUS_OK) {
            if (result_.error.empty()) {
                const XML_Error code = XML_GetErrorCode(parser_.get());
                result_.errorLine = static_cast<int>(XML_GetCurrentLineNumber(parser_.get()));
                result_.error = code == XML_ERROR_NO_ELEMENTS && sawRoot_
                                    ? "the file ends before the GPX document does"
                                    : XML_ErrorString(code);
            }
            return false;
        }
        if (fed_ - lastEventByte_ > limits_.maxPendingBytes) {
            return stop(
                static_cast<int>(XML_GetCurrentLineNumber(parser_.get())),
                cformat("a single XML token is larger than %zu bytes", limits_.maxPendingBytes));
        }
        if (last && !sawRoot_) {
            return stop(1, "not a GPX file (no root element)");
        }
        return true;
    }

    GpxReadResult& result() { return result_; }

private:
    struct ParserFree {
        void operator()(XML_Parser p) const { XML_ParserFree(p); }
    };

    int line() const { return static_cast<int>(XML_GetCurrentLineNumber(parser_.get())); }

    void sawEvent() {
        lastEventByte_ = static_cast<std::size_t>(XML_GetCurrentByteIndex(parser_.get()));
    }

    // Ends the reading from inside a handler.
    bool stop(int atLine, std::string why) {
        if (result_.error.empty()) {
            result_.errorLine = atLine;
            result_.error = std::move(why);
        }
        if (parser_) {
            XML_StopParser(parser_.get(), XML_FALSE);
        }
        return false;
    }

    Element parent() const { return stack_.empty() ? Element::Other : stack_.back(); }

    static void onEntityDecl(void* self, const XML_Char*, int, const XML_Char*, int,
                             const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
        auto* r = static_cast<Reader*>(self);
        r->stop(r->line(), "the document type declares entities (refused)");
    }

    // No exception may cross expat's C frames: running out of memory in a
    // handler (the caller's collection growing) ends the reading instead.
    template <typename F>
    static void guarded(void* self, F&& f) {
        auto* r = static_cast<Reader*>(self);
        try {
            f(*r);
        } catch (const std::bad_alloc&) {
            r->stop(r->line(), "out of memory");
        }
    }
    static void onStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        guarded(self, [&](Reader& r) { r.start(name, attributes); });
    }
    static void onEnd(void* self, const XML_Char*) {
        guarded(self, [](Reader& r) { r.end(); });
    }
    static void onText(void* self, const XML_Char* text, int length) {
        guarded(self, [&](Reader& r) { r.text(text, static_cast<std::size_t>(length)); });
    }

    void start(const char* fullName, const char** attributes) {
        sawEvent();
        std::string_view ns, local;
        splitName(fullName, ns, local);
        if (!sawRoot_) {
            sawRoot_ = true;
            if (local != "gpx" || !isGpxNamespace(ns)) {
                stack_.push_back(Element::Other);
                stop(line(), "not a GPX file (the root element is <" + std::string(local) + ">)");
                return;
            }
            stack_.push_back(Element::Gpx);
            return;
        }
        const bool gpx = isGpxNamespace(ns);
        const Element up = parent();
        Element e = Element::Other;
        if (gpx && up == Element::Gpx && local == "wpt") {
            e = Element::Wpt;
            beginPoint(GpxKind::Waypoint, attributes);
        } else if (gpx && up == Element::Gpx && local == "rte") {
            e = Element::Rte;
            handler_.pieceStart(GpxKind::Route);
        } else if (gpx && up == Element::Gpx && local == "trk") {
            e = Element::Trk;
        } else if (gpx && up == Element::Trk && local == "trkseg") {
            e = Element::Trkseg;
            handler_.pieceStart(GpxKind::Track);
        } else if (gpx && ((up == Element::Rte && local == "rtept") ||
                           (up == Element::Trkseg && local == "trkpt"))) {
            e = Element::Point;
            beginPoint(up == Element::Rte ? GpxKind::Route : GpxKind::Track, attributes);
        } else if (inPoint_ && (up == Element::Wpt || up == Element::Point) && gpx) {
            if (local == "extensions") {
                e = Element::Extensions;
            } else {
                e = Element::Field;
                field_ = fieldFor(local);
            }
        } else if (inPoint_ && !gpx && (local == "speed" || local == "course") &&
                   ns.find("TrackPointExtension") != std::string_view::npos) {
            // Garmin's track point extension carries speed and course in GPX 1.1.
            e = Element::Field;
            field_ = local == "speed" ? Field::Speed : Field::Course;
        }
        if (e == Element::Field) {
            text_.clear();
        }
        stack_.push_back(e);
    }

    static Field fieldFor(std::string_view local) {
        for (const FieldName& f : kFields) {
            if (local == f.name) {
                return f.field;
            }
        }
        return Field::None;
    }

    void beginPoint(GpxKind kind, const char** attributes) {
        inPoint_ = true;
        kind_ = kind;
        point_ = GpxPoint{};
        point_.line = line();
        pointProblem_.clear();
        const char* lat = nullptr;
        const char* lon = nullptr;
        for (const char** a = attributes; a[0]; a += 2) {
            if (std::strcmp(a[0], "lat") == 0) {
                lat = a[1];
            } else if (std::strcmp(a[0], "lon") == 0) {
                lon = a[1];
            }
        }
        const auto latitude = lat ? number(lat) : std::nullopt;
        const auto longitude = lon ? number(lon) : std::nullopt;
        if (!lat || !lon) {
            pointProblem_ = !lat ? "no lat attribute" : "no lon attribute";
        } else if (!latitude || !longitude) {
            pointProblem_ = cformat("unreadable position lat=\"%.40s\" lon=\"%.40s\"", lat, lon);
        } else if (*latitude < -90.0 || *latitude > 90.0) {
            pointProblem_ = cformat("latitude %.40s outside -90..90", lat);
        } else if (*longitude < -180.0 || *longitude > 180.0) {
            pointProblem_ = cformat("longitude %.40s outside -180..180", lon);
        } else {
            point_.latitude = *latitude;
            point_.longitude = *longitude;
        }
    }

    void text(const char* data, std::size_t size) {
        sawEvent();
        if (parent() != Element::Field || field_ == Field::None) {
            return;
        }
        const std::size_t room =
            limits_.maxTextBytes - std::min(limits_.maxTextBytes, text_.size());
        if (size > room) {
            size = room;
            // Cut before a UTF-8 continuation byte so that no character is split.
            while (size > 0 && (static_cast<unsigned char>(data[size]) & 0xC0) == 0x80) {
                --size;
            }
        }
        text_.append(data, size);
    }

    void end() {
        sawEvent();
        if (stack_.empty()) {
            return;
        }
        const Element e = parent();
        stack_.pop_back();
        if (e == Element::Field) {
            takeField();
            field_ = Field::None;
        } else if (e == Element::Wpt || e == Element::Point) {
            finishPoint();
        }
    }

    void takeField() {
        const std::string_view value = trimmed(text_);
        switch (field_) {
            case Field::Name:
                point_.name = value;
                break;
            case Field::Cmt:
                point_.comment = value;
                break;
            case Field::Desc:
                point_.description = value;
                break;
            case Field::Sym:
                point_.symbol = value;
                break;
            case Field::Fix:
                point_.fix = value;
                break;
            case Field::Ele:
                point_.elevation = number(value);
                break;
            case Field::Time:
                point_.time = parseIsoTime(value);
                break;
            case Field::Sat:
                if (auto n = number(value); n && *n >= 0 && *n <= 255) {
                    point_.satellites = static_cast<int>(*n);
                }
                break;
            case Field::Hdop:
                point_.hdop = number(value);
                break;
            case Field::Pdop:
                point_.pdop = number(value);
                break;
            case Field::Speed:
                point_.speed = number(value);
                break;
            case Field::Course:
                point_.course = number(value);
                break;
            case Field::None:
                break;
        }
    }

    void finishPoint() {
        inPoint_ = false;
        if (!pointProblem_.empty()) {
            if (result_.refused++ == 0) {
                result_.firstRefusedLine = point_.line;
                result_.firstRefusedReason = pointProblem_;
            }
            return;
        }
        if (static_cast<std::size_t>(result_.points) >= limits_.maxPoints) {
            stop(point_.line, cformat("more than %zu points", limits_.maxPoints));
            return;
        }
        ++result_.points;
        handler_.point(kind_, point_);
    }

    GpxHandler& handler_;
    GpxReadLimits limits_;
    std::unique_ptr<XML_ParserStruct, ParserFree> parser_;
    GpxReadResult result_;
    std::vector<Element> stack_;
    bool sawRoot_ = false;
    bool inPoint_ = false;
    GpxKind kind_ = GpxKind::Waypoint;
    GpxPoint point_;
    std::string pointProblem_;
    Field field_ = Field::None;
    std::string text_;
    std::size_t fed_ = 0;
    std::size_t lastEventByte_ = 0;
};

GpxReadResult finished(Reader& reader) {
    GpxReadResult& r = reader.result();
    r.ok = r.error.empty();
    return std::move(r);
}

}  // namespace

std::string GpxReadResult::errorText() const {
    if (ok) {
        return {};
    }
    return errorLine > 0 ? cformat("line %d: %s", errorLine, error.c_str()) : error;
}

GpxReadResult readGpxBytes(std::string_view bytes, GpxHandler& handler,
                           const GpxReadLimits& limits) {
    Reader reader(handler, limits);
    std::size_t at = 0;
    bool going = true;
    do {
        const std::size_t n = std::min(kChunkSize, bytes.size() - at);
        going = reader.feed(bytes.data() + at, n, at + n == bytes.size());
        at += n;
    } while (going && at < bytes.size());
    return finished(reader);
}

GpxReadResult readGpxFile(const std::string& path, GpxHandler& handler,
                          const GpxReadLimits& limits) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        GpxReadResult r;
        r.error = cformat("cannot open %s: %s", path.c_str(), std::strerror(errno));
        return r;
    }
    Reader reader(handler, limits);
    std::vector<char> buffer(kChunkSize);
    while (true) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (n < buffer.size() && std::ferror(file.get())) {
            GpxReadResult& r = reader.result();
            r.error = cformat("cannot read %s: %s", path.c_str(), std::strerror(errno));
            break;
        }
        const bool last = n < buffer.size();
        if (!reader.feed(buffer.data(), n, last) || last) {
            break;
        }
    }
    return finished(reader);
}

}  // namespace wp2
