// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin_import.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "core/base/cformat.h"
#include "core/base/utf.h"
#include "core/nav/angles.h"
#include "core/track/file_chooser.h"
#include "core/waypoints/pushpin_gpx.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/pushpin_near_index.h"
#include "core/waypoints/text_line_reader.h"
#include "core/waypoints/unique_file.h"

namespace wp2 {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool isSeparator(char c) {
    return c == ',' || c == '\r' || c == '\n';
}

// The pieces of one line: at most five.
struct CsvPieces {
    std::array<std::string_view, 5> piece;
    std::size_t count = 0;
};

// The first five pieces between separators (runs of separators count as
// one), each trimmed; pieces left empty are dropped.
CsvPieces csvPieces(std::string_view line) {
    CsvPieces pieces;
    std::size_t i = 0;
    int taken = 0;
    while (taken < 5) {
        while (i < line.size() && isSeparator(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            break;
        }
        std::size_t start = i;
        while (i < line.size() && !isSeparator(line[i])) {
            ++i;
        }
        ++taken;
        std::string_view piece = trim(line.substr(start, i - start));
        if (!piece.empty()) {
            pieces.piece[pieces.count++] = piece;
        }
    }
    return pieces;
}

// Latitude within +-90 and longitude within +-180 degrees (NaN is neither).
bool possibleDegrees(double latitude, double longitude) {
    return std::fabs(latitude) <= 90.0 && std::fabs(longitude) <= 180.0;
}

// Reads a field's number into `value`; else says why in `why`.
bool readField(std::string_view text, const char* name, double& value, std::string& why) {
    if (const auto n = parseNumber(text)) {
        value = *n;
        return true;
    }
    why = cformat("%s \"%.40s\" is not a number", name, std::string(text).c_str());
    return false;
}

// Sets the position of a new pushpin after checking it; "" when it holds a
// possible one, else why not (the pushpin is then taken out again).
std::string placePushpin(Pushpins& pushpins, Pushpin* p, double latitude, double longitude) {
    std::string why;
    if (!possibleDegrees(latitude, longitude)) {
        why = cformat("position %g, %g is not on the earth", latitude, longitude);
    } else {
        p->latitude = latitude * kDegToRad;
        p->longitude = longitude * kDegToRad;
        // What the pushpin file's reader would refuse never joins the collection.
        why = impossiblePushpin(*p, ValueRange::Imported);
    }
    if (!why.empty()) {
        pushpins.remove(p);
    }
    return why;
}

// Reads one line's waypoint into a new pushpin; "" when the line is one,
// else why not.
std::string addCsvLine(Pushpins& pushpins, std::string_view line, int& nameCounter) {
    const CsvPieces pieces = csvPieces(line);
    double latitude = 0.0, longitude = 0.0, altitude = 0.0;
    std::string why;
    if (pieces.count < 2) {
        return "fewer than two fields";
    }
    if (!readField(pieces.piece[0], "latitude", latitude, why) ||
        !readField(pieces.piece[1], "longitude", longitude, why) ||
        (pieces.count > 3 && !readField(pieces.piece[3], "altitude", altitude, why))) {
        return why;
    }
    Pushpin* p = pushpins.addNew();
    if (!p) {
        return "out of memory";
    }
    p->name = pieces.count > 2 ? latin1ToUtf8(pieces.piece[2]) : cformat("Wpt_%d", nameCounter);
    p->altitude = altitude;
    if (pieces.count > 4) {
        p->note = latin1ToUtf8(pieces.piece[4]);
    }
    why = placePushpin(pushpins, p, latitude, longitude);
    nameCounter += why.empty() && pieces.count <= 2;
    return why;
}

// The value of attribute `name` inside a tag's text: what follows name="
// up to the next quotation mark. Nothing when the value has no closing quote.
std::string_view attribute(std::string_view tag, std::string_view name) {
    std::string key = std::string(name) + "=\"";
    std::size_t at = tag.find(key);
    if (at == std::string_view::npos) {
        return {};
    }
    std::size_t start = at + key.size();
    std::size_t end = tag.find('"', start);
    if (end == std::string_view::npos) {
        return {};
    }
    return tag.substr(start, end - start);
}

// The text between "<element" and the next ">" in the block.
std::string_view tagText(std::string_view block, std::string_view element) {
    std::size_t at = block.find(element);
    if (at == std::string_view::npos) {
        return {};
    }
    std::size_t start = at + element.size();
    std::size_t end = block.find('>', start);
    if (end == std::string_view::npos) {
        return {};
    }
    return block.substr(start, end - start);
}

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty()) {
        ext.erase(0, 1);
    }
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

}  // namespace

void PassedOver::add(int line, const std::string& reason) {
    if (count++ == 0) {
        firstLine = line;
        firstReason = reason;
    }
}

std::string PassedOver::text() const {
    return count == 0 ? std::string()
                      : cformat("%d refused, the first at line %d: %s", count, firstLine,
                                firstReason.c_str());
}

Result<> readCsv(Pushpins& pushpins, std::FILE* file, int& lineNumber) {
    lineNumber = 0;
    int nameCounter = 1;
    TextLineReader reader(file);
    std::string piece;
    while (reader.next(piece)) {
        ++lineNumber;
        // A NUL ends the text of the line, as it would a C string.
        std::string_view line(piece.data(), std::min(piece.size(), piece.find('\0')));
        if (trim(line).empty()) {
            continue;
        }
        if (std::string why = addCsvLine(pushpins, line, nameCounter); !why.empty()) {
            return fail(cformat("line %d", lineNumber), std::move(why));
        }
    }
    return {};
}

PassedOver readLoc(Pushpins& pushpins, std::FILE* file) {
    std::string text(kLocReadLimit, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    const std::string_view all(text);
    static constexpr std::string_view kOpen = "<waypoint>";
    static constexpr std::string_view kClose = "</waypoint>";
    PassedOver passed;
    std::size_t from = 0;
    int line = 1;  // of the text at `from`
    while (true) {
        std::size_t open = all.find(kOpen, from);
        if (open == std::string_view::npos) {
            break;
        }
        std::size_t start = open + kOpen.size();
        std::size_t close = all.find(kClose, start);
        if (close == std::string_view::npos) {
            break;
        }
        std::string_view block = all.substr(start, close - start);
        line += static_cast<int>(std::count(all.begin() + from, all.begin() + open, '\n'));
        const int blockLine = line;
        line += static_cast<int>(std::count(block.begin(), block.end(), '\n'));
        from = close + kClose.size();

        std::string_view coord = tagText(block, "<coord");
        double latitude = 0.0, longitude = 0.0;
        std::string why;
        if (readField(attribute(coord, "lat"), "lat", latitude, why) &&
            readField(attribute(coord, "lon"), "lon", longitude, why)) {
            Pushpin* p = pushpins.addNew();
            if (!p) {
                break;
            }
            p->name = latin1ToUtf8(attribute(tagText(block, "<name"), "id"));
            why = placePushpin(pushpins, p, latitude, longitude);
        }
        if (!why.empty()) {
            passed.add(blockLine, why);
        }
    }
    return passed;
}

int mergeImported(Pushpins& pushpins, Pushpins& imported) {
    // Compared only with the pushpins that were there before, never with each other.
    const PushpinNearIndex near(pushpins, kImportMergeRadius);
    std::vector<Pushpin*> fresh;
    fresh.reserve(static_cast<std::size_t>(imported.count()));
    for (Pushpin& p : imported) {
        if (near.findNear(p.latitude, p.longitude) < 0) {
            fresh.push_back(&p);
        }
    }
    // Moved last first, so that they keep their order in front of the old ones.
    std::reverse(fresh.begin(), fresh.end());
    const int added = pushpins.takeFrom(imported, fresh);
    pushpins.shiftTarget(added);
    return added;
}

ImportResult importPushpins(Pushpins& pushpins, const std::string& path) {
    using Status = ImportResult::Status;
    ImportResult result;
    result.path = path;
    const std::string ext = lowerExtension(path);
    const bool text = ext == "csv" || ext == "txt";
    if (!text && ext != "loc" && ext != "kpp" && ext != "gpx") {
        result.status = Status::UnknownExtension;
        return result;
    }
    UniqueFile file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.status = Status::CannotOpen;
        return result;
    }
    Pushpins imported;
    PushpinLoadResult& loaded = result.loaded;
    result.status = Status::Imported;
    if (text) {
        if (const Result<> read = readCsv(imported, file.get(), result.line); !read) {
            result.status = Status::FormatError;
            result.problem = read.error().text();
        }
    } else if (ext == "gpx") {
        const GpxReadResult r = readGpx(imported, path);
        result.refused = r.refused;
        if (!r.ok) {
            result.status = Status::FormatError;
            result.problem = r.errorText();
            result.line = r.errorLine;
        }
        if (r.refused > 0) {
            result.problem +=
                (result.problem.empty() ? "" : "\n") +
                PassedOver{r.refused, r.firstRefusedLine, r.firstRefusedReason}.text();
        }
    } else if (ext == "loc") {
        const PassedOver passed = readLoc(imported, file.get());
        result.refused = passed.count;
        result.problem = passed.text();
    } else {
        loaded = imported.loadFrom(file.get());
        if (!loaded.clean()) {
            result.status = Status::Damaged;
        }
    }
    result.read = imported.count();
    if (result.read > 0) {
        result.added = mergeImported(pushpins, imported);
    }
    return result;
}

std::optional<std::string> importMessage(const ImportResult& result) {
    using Status = ImportResult::Status;
    const std::string ext = lowerExtension(result.path);
    if (result.status == Status::Cancelled || result.status == Status::CannotOpen ||
        result.status == Status::UnknownExtension) {
        return std::nullopt;
    }
    if (ext == "gpx" || ext == "loc") {
        if (!result.problem.empty() || (ext == "gpx" && result.added < result.read)) {
            return partialImportText(result.path, result.read, result.added, result.problem);
        }
    } else if (result.status == Status::FormatError) {
        return csvFormatErrorText(result.line, result.read);
    } else if (result.status == Status::Damaged) {
        return damagedPushpinFileText(result.path, result.loaded);
    }
    return std::nullopt;
}

ImportResult chooseAndImportPushpins(Pushpins& pushpins, FileChooser& files) {
    std::optional<std::string> path = files.openFile({kImportFilter, kImportDefaultExtension, ""});
    if (!path) {
        return {};
    }
    return importPushpins(pushpins, *path);
}

}  // namespace wp2
