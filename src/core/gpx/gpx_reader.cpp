// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gpx/gpx_reader.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <vector>

#include "core/base/cformat.h"

namespace wp2 {

namespace {

constexpr const char* kGpx11 = "http://www.topografix.com/GPX/1/1";
constexpr const char* kGpx10 = "http://www.topografix.com/GPX/1/0";

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

// The names the reader looks for. The first twelve are the children of a
// point whose text is kept, in the order takeField handles them.
enum class Word {
    Name,
    Cmt,
    Desc,
    Sym,
    Ele,
    Time,
    Fix,
    Sat,
    Hdop,
    Pdop,
    Speed,
    Course,
    Trkpt,
    Wpt,
    Extensions,
    Trkseg,
    Rtept,
    Trk,
    Rte,
    Gpx,
    Lat,
    Lon,
    Other,
};
constexpr const char* kWords[] = {
    "name",  "cmt",  "desc",  "sym",    "ele",   "time", "fix",        "sat",
    "hdop",  "pdop", "speed", "course", "trkpt", "wpt",  "extensions", "trkseg",
    "rtept", "trk",  "rte",   "gpx",    "lat",   "lon",
};
static_assert(std::size(kWords) == static_cast<std::size_t>(Word::Other));

const char* chars(const xmlChar* s) {
    return reinterpret_cast<const char*>(s);
}

bool is(const xmlChar* name, const char* wanted) {
    return std::strcmp(chars(name), wanted) == 0;
}

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// An xsd:decimal or xsd:double, with the blanks XML allows around it.
std::optional<double> number(std::string_view text) {
    return parseNumber(trimmed(text));
}

// Empties a point for the next one, keeping the memory its texts had.
void clear(GpxPoint& p) {
    p.latitude = p.longitude = 0.0;
    p.elevation.reset();
    p.time.reset();
    for (std::string* text : {&p.name, &p.comment, &p.description, &p.symbol, &p.fix}) {
        text->clear();
    }
    p.speed.reset();
    p.course.reset();
    p.satellites.reset();
    p.hdop.reset();
    p.pdop.reset();
    p.line = 0;
}

// Where the input comes from: a file (named for messages) or bytes in memory.
struct Input {
    std::FILE* file = nullptr;
    const char* path = "";
    std::string_view bytes;
};

class Reader {
public:
    Reader(GpxHandler& handler, const GpxReadLimits& limits, Input input)
        : handler_(handler), limits_(limits), input_(input) {}

    GpxReadResult run() {
        xmlInitParser();
        static xmlSAXHandler handlers = sax();
        ctxt_ = xmlCreateIOParserCtxt(&handlers, this, &Reader::onRead, nullptr, this,
                                      XML_CHAR_ENCODING_NONE);
        if (!ctxt_) {
            result_.error = "out of memory";
            return std::move(result_);
        }
        // No network, no external DTD, entities never substituted; libxml2's
        // own limits on names, texts and nesting stay on.
        xmlCtxtUseOptions(ctxt_, XML_PARSE_NONET);
        // Names reach the callbacks as the parser's dictionary holds them, so
        // that each one is found by comparing pointers.
        for (std::size_t i = 0; i < std::size(kWords); ++i) {
            words_[i] = xmlDictLookup(ctxt_->dict, reinterpret_cast<const xmlChar*>(kWords[i]), -1);
        }
        // What libxml2 reports outside the parser (a text the declared
        // encoding cannot convert) is kept here rather than printed.
        const xmlGenericErrorFunc oldHandler = xmlGenericError;
        void* const oldContext = xmlGenericErrorContext;
        xmlSetGenericErrorFunc(this, &Reader::onGenericError);
        xmlParseDocument(ctxt_);
        xmlSetGenericErrorFunc(oldContext, oldHandler);
        if (result_.error.empty() && !ctxt_->wellFormed) {
            result_.errorLine = line();
            result_.error = "not well-formed";
        }
        if (result_.error.empty() && !sawRoot_) {
            result_.errorLine = 1;
            result_.error = "not a GPX file (no root element)";
        }
        // A document type with entity declarations makes libxml2 build a
        // document of its own to hold them, even in SAX mode; the context
        // does not free it.
        if (ctxt_->myDoc) {
            xmlFreeDoc(ctxt_->myDoc);
            ctxt_->myDoc = nullptr;
        }
        xmlFreeParserCtxt(ctxt_);
        ctxt_ = nullptr;
        result_.ok = result_.error.empty();
        return std::move(result_);
    }

private:
    static xmlSAXHandler sax();

    int line() const { return ctxt_ && ctxt_->input ? ctxt_->input->line : 0; }

    // How far the parser has come, in bytes of the input (as UTF-8).
    std::size_t position() const {
        const xmlParserInputPtr in = ctxt_->input;
        return static_cast<std::size_t>(in->consumed) +
               static_cast<std::size_t>(in->cur - in->base);
    }

    void sawEvent() { lastEvent_ = position(); }

    // Ends the reading from inside a callback.
    void stop(int atLine, std::string why) {
        fail(atLine, std::move(why));
        xmlStopParser(ctxt_);
    }

    // Records why the reading ends, where the parser cannot be stopped: the
    // next callback stops it.
    void fail(int atLine, std::string why) {
        if (result_.error.empty()) {
            result_.errorLine = atLine;
            result_.error = std::move(why);
        }
    }

    // The parser asks for more input. What it holds beyond its last event
    // is one unfinished token: past the limit it would only grow the memory.
    // Stopping the parser here would free the buffer it is filling: the
    // input ends instead.
    static int onRead(void* self, char* buffer, int size) {
        auto* r = static_cast<Reader*>(self);
        if (r->ctxt_ && r->ctxt_->input) {
            const xmlParserInputPtr in = r->ctxt_->input;
            const std::size_t held = static_cast<std::size_t>(in->consumed) +
                                     static_cast<std::size_t>(in->end - in->base);
            if (held - std::min(held, r->lastEvent_) > r->limits_.maxPendingBytes) {
                r->fail(r->line(), cformat("a single XML token is larger than %zu bytes",
                                           r->limits_.maxPendingBytes));
                return 0;
            }
        }
        std::size_t n = 0;
        if (r->input_.file) {
            n = std::fread(buffer, 1, static_cast<std::size_t>(size), r->input_.file);
            if (n == 0 && std::ferror(r->input_.file)) {
                r->fail(0, cformat("cannot read %s: %s", r->input_.path, std::strerror(errno)));
            }
        } else {
            n = std::min(static_cast<std::size_t>(size), r->input_.bytes.size());
            std::memcpy(buffer, r->input_.bytes.data(), n);
            r->input_.bytes.remove_prefix(n);
        }
        return static_cast<int>(n);
    }

    // The first error that ends the parsing, as libxml2 words it. Namespace
    // errors (an undeclared prefix) and warnings leave the document readable.
    static void onError(void* self, xmlErrorPtr e) {
        auto* r = static_cast<Reader*>(self);
        if (!e || e->level != XML_ERR_FATAL || !r->result_.error.empty()) {
            return;
        }
        r->result_.errorLine = e->line;
        if (e->code == XML_ERR_TAG_NOT_FINISHED && !r->generic_.empty()) {
            // The text stopped where it could not be converted.
            r->result_.error = r->generic_.substr(0, r->generic_.find('\n'));
        } else if (e->code == XML_ERR_TAG_NOT_FINISHED && r->sawRoot_) {
            r->result_.error = "the file ends before the GPX document does";
        } else if (e->code == XML_ERR_DOCUMENT_EMPTY) {
            r->result_.error = "no element found";
        } else {
            // One line: libxml2 puts some details on a line of their own.
            std::string message(trimmed(e->message ? e->message : "not well-formed"));
            std::replace(message.begin(), message.end(), '\n', ' ');
            r->result_.error = std::move(message);
        }
    }

    static void onGenericError(void* self, const char* format, ...) {
        auto* r = static_cast<Reader*>(self);
        if (r->generic_.size() < 200) {
            va_list args;
            va_start(args, format);
            r->generic_ += vcformat(format, args);
            va_end(args);
        }
    }

    static void onEntityDecl(void* self, const xmlChar*, int, const xmlChar*, const xmlChar*,
                             xmlChar*) {
        auto* r = static_cast<Reader*>(self);
        r->stop(r->line(), "the document type declares entities (refused)");
    }
    static void onUnparsedEntityDecl(void* self, const xmlChar*, const xmlChar*, const xmlChar*,
                                     const xmlChar*) {
        onEntityDecl(self, nullptr, 0, nullptr, nullptr, nullptr);
    }

    // No exception may cross libxml2's C frames: running out of memory in a
    // callback (the caller's collection growing) ends the reading instead.
    template <typename F>
    static void guarded(void* self, F&& f) {
        auto* r = static_cast<Reader*>(self);
        if (!r->result_.error.empty()) {
            xmlStopParser(r->ctxt_);
            return;
        }
        try {
            f(*r);
        } catch (const std::bad_alloc&) {
            r->stop(r->line(), "out of memory");
        }
    }
    static void onStart(void* self, const xmlChar* local, const xmlChar* prefix, const xmlChar* uri,
                        int, const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
        guarded(self, [&](Reader& r) { r.start(local, prefix, uri, attributeCount, attributes); });
    }
    static void onEnd(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
        guarded(self, [](Reader& r) { r.end(); });
    }
    static void onText(void* self, const xmlChar* data, int length) {
        guarded(self, [&](Reader& r) { r.text(data, static_cast<std::size_t>(length)); });
    }
    static void onOther(void* self, const xmlChar*) { static_cast<Reader*>(self)->sawEvent(); }
    static void onInstruction(void* self, const xmlChar*, const xmlChar*) {
        static_cast<Reader*>(self)->sawEvent();
    }

    // Element and namespace names come from the parser's dictionary, so the
    // same namespace arrives as the same pointer: it is judged once.
    bool isGpxNamespace(const xmlChar* uri, const xmlChar* prefix) {
        if (!uri) {
            return !prefix;  // no namespace at all (an undeclared prefix is another matter)
        }
        if (uri != gpxUri_) {
            if (!is(uri, kGpx11) && !is(uri, kGpx10)) {
                return false;
            }
            gpxUri_ = uri;
        }
        return true;
    }

    Word word(const xmlChar* name) const {
        for (std::size_t i = 0; i < std::size(words_); ++i) {
            if (name == words_[i]) {
                return static_cast<Word>(i);
            }
        }
        return Word::Other;
    }

    void start(const xmlChar* local, const xmlChar* prefix, const xmlChar* uri, int attributeCount,
               const xmlChar** attributes) {
        sawEvent();
        const bool gpx = isGpxNamespace(uri, prefix);
        const Word w = word(local);
        if (!sawRoot_) {
            sawRoot_ = true;
            if (w != Word::Gpx || !gpx) {
                stack_.push_back(Element::Other);
                stop(line(), cformat("not a GPX file (the root element is <%s>)", chars(local)));
                return;
            }
            stack_.push_back(Element::Gpx);
            return;
        }
        const Element up = stack_.empty() ? Element::Other : stack_.back();
        Element e = Element::Other;
        if (inPoint_ && gpx && (up == Element::Wpt || up == Element::Point)) {
            e = w == Word::Extensions ? Element::Extensions : Element::Field;
            field_ = w < Word::Trkpt ? w : Word::Other;
        } else if (inPoint_ && !gpx && uri && (w == Word::Speed || w == Word::Course) &&
                   std::strstr(chars(uri), "TrackPointExtension") != nullptr) {
            // Garmin's track point extension carries speed and course in GPX 1.1.
            e = Element::Field;
            field_ = w;
        } else if (gpx && up == Element::Trkseg && w == Word::Trkpt) {
            e = Element::Point;
            beginPoint(GpxKind::Track, attributeCount, attributes);
        } else if (gpx && up == Element::Rte && w == Word::Rtept) {
            e = Element::Point;
            beginPoint(GpxKind::Route, attributeCount, attributes);
        } else if (gpx && up == Element::Gpx && w == Word::Wpt) {
            e = Element::Wpt;
            beginPoint(GpxKind::Waypoint, attributeCount, attributes);
        } else if (gpx && up == Element::Trk && w == Word::Trkseg) {
            e = Element::Trkseg;
            handler_.pieceStart(GpxKind::Track);
        } else if (gpx && up == Element::Gpx && w == Word::Trk) {
            e = Element::Trk;
        } else if (gpx && up == Element::Gpx && w == Word::Rte) {
            e = Element::Rte;
            handler_.pieceStart(GpxKind::Route);
        } else if (gpx && up == Element::Rte && w == Word::Name) {
            e = Element::Field;
            field_ = Word::Name;
        }
        if (e == Element::Field) {
            text_.clear();
        }
        stack_.push_back(e);
    }

    // Attributes come as (local name, prefix, URI, value, value end) each.
    void beginPoint(GpxKind kind, int count, const xmlChar** attributes) {
        inPoint_ = true;
        kind_ = kind;
        clear(point_);
        point_.line = line();
        pointProblem_.clear();
        std::optional<std::string_view> lat, lon;
        for (int i = 0; i < count; ++i) {
            const xmlChar** a = attributes + 5 * i;
            if (a[1]) {
                continue;  // lat and lon have no prefix
            }
            const std::string_view value(chars(a[3]), static_cast<std::size_t>(a[4] - a[3]));
            if (a[0] == words_[static_cast<std::size_t>(Word::Lat)]) {
                lat = value;
            } else if (a[0] == words_[static_cast<std::size_t>(Word::Lon)]) {
                lon = value;
            }
        }
        const auto latitude = lat ? number(*lat) : std::nullopt;
        const auto longitude = lon ? number(*lon) : std::nullopt;
        if (!lat || !lon) {
            pointProblem_ = !lat ? "no lat attribute" : "no lon attribute";
        } else if (!latitude || !longitude) {
            pointProblem_ = cformat("unreadable position lat=\"%.40s\" lon=\"%.40s\"",
                                    std::string(*lat).c_str(), std::string(*lon).c_str());
        } else if (*latitude < -90.0 || *latitude > 90.0) {
            pointProblem_ = cformat("latitude %.40s outside -90..90", std::string(*lat).c_str());
        } else if (*longitude < -180.0 || *longitude > 180.0) {
            pointProblem_ = cformat("longitude %.40s outside -180..180", std::string(*lon).c_str());
        } else {
            point_.latitude = *latitude;
            point_.longitude = *longitude;
        }
    }

    void text(const xmlChar* bytes, std::size_t size) {
        sawEvent();
        if (field_ == Word::Other || stack_.empty() || stack_.back() != Element::Field) {
            return;
        }
        const char* data = chars(bytes);
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
        const Element e = stack_.back();
        stack_.pop_back();
        if (e == Element::Field && !stack_.empty() && stack_.back() == Element::Rte) {
            handler_.pieceName(GpxKind::Route, std::string(trimmed(text_)));
            field_ = Word::Other;
        } else if (e == Element::Field) {
            takeField();
            field_ = Word::Other;
        } else if (e == Element::Wpt || e == Element::Point) {
            finishPoint();
        }
    }

    // The number of a field; a text that is not one refuses the point.
    std::optional<double> numberField(std::string_view value) {
        const auto n = number(value);
        if (!n && !value.empty() && pointProblem_.empty()) {
            pointProblem_ =
                cformat("<%s> \"%.40s\" is not a number", kWords[static_cast<std::size_t>(field_)],
                        std::string(value).c_str());
        }
        return n;
    }

    void takeField() {
        const std::string_view value = trimmed(text_);
        switch (field_) {
            case Word::Name:
                point_.name = value;
                break;
            case Word::Cmt:
                point_.comment = value;
                break;
            case Word::Desc:
                point_.description = value;
                break;
            case Word::Sym:
                point_.symbol = value;
                break;
            case Word::Fix:
                point_.fix = value;
                break;
            case Word::Ele:
                point_.elevation = numberField(value);
                break;
            case Word::Time:
                point_.time = parseIsoTime(value);
                break;
            case Word::Sat:
                if (auto n = numberField(value); n && *n >= 0 && *n <= 255) {
                    point_.satellites = static_cast<int>(*n);
                } else if (n && pointProblem_.empty()) {
                    pointProblem_ = cformat("<sat> %g outside 0..255", *n);
                }
                break;
            case Word::Hdop:
                point_.hdop = numberField(value);
                break;
            case Word::Pdop:
                point_.pdop = numberField(value);
                break;
            case Word::Speed:
                point_.speed = numberField(value);
                break;
            case Word::Course:
                point_.course = numberField(value);
                break;
            default:
                break;
        }
    }

    void finishPoint() {
        inPoint_ = false;
        if (pointProblem_.empty() &&
            static_cast<std::size_t>(result_.points) >= limits_.maxPoints) {
            stop(point_.line, cformat("more than %zu points", limits_.maxPoints));
            return;
        }
        if (pointProblem_.empty()) {
            pointProblem_ = handler_.point(kind_, point_);
        }
        if (pointProblem_.empty()) {
            ++result_.points;
        } else if (result_.refused++ == 0) {
            result_.firstRefusedLine = point_.line;
            result_.firstRefusedReason = pointProblem_;
        }
    }

    GpxHandler& handler_;
    GpxReadLimits limits_;
    Input input_;
    xmlParserCtxtPtr ctxt_ = nullptr;
    GpxReadResult result_;
    std::vector<Element> stack_;
    const xmlChar* words_[std::size(kWords)] = {};
    const xmlChar* gpxUri_ = nullptr;
    bool sawRoot_ = false;
    bool inPoint_ = false;
    GpxKind kind_ = GpxKind::Waypoint;
    GpxPoint point_;
    std::string pointProblem_;
    Word field_ = Word::Other;
    std::string text_;
    std::size_t lastEvent_ = 0;
    std::string generic_;  // libxml2's messages from outside the parser
};

xmlSAXHandler Reader::sax() {
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &Reader::onStart;
    sax.endElementNs = &Reader::onEnd;
    sax.characters = &Reader::onText;
    sax.cdataBlock = &Reader::onText;
    sax.comment = &Reader::onOther;
    sax.processingInstruction = &Reader::onInstruction;
    sax.entityDecl = &Reader::onEntityDecl;
    sax.unparsedEntityDecl = &Reader::onUnparsedEntityDecl;
    sax.serror = &Reader::onError;
    return sax;
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
    return Reader(handler, limits, Input{nullptr, "", bytes}).run();
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
    // The parser asks for a few kilobytes at a time; the stream reads ahead in
    // large pieces.
    std::setvbuf(file.get(), nullptr, _IOFBF, 64 * 1024);
    return Reader(handler, limits, Input{file.get(), path.c_str(), {}}).run();
}

}  // namespace wp2
