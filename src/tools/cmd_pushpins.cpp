// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool pushpins: lists a pushpin file, imports waypoint files into it
// (each source exactly as one import from the Pushpins dialog), exports it
// as a Shapefile, a semicolon-separated text file or GPX 1.1, and reads the
// sound records of a damaged one into a new file.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/cformat.h"
#include "core/base/diagnostics.h"
#include "core/gpx/gpx_time.h"
#include "core/nav/angles.h"
#include "core/settings/reg_number.h"
#include "core/settings/reg_values.h"
#include "core/waypoints/pushpin_export.h"
#include "core/waypoints/pushpin_gpx.h"
#include "core/waypoints/pushpin_icon_names.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/pushpins.h"
#include "messages/message_box.h"
#include "platform/file_registry.h"
#include "tools/json_writer.h"
#include "tools/std_streams.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return ext;
}

constexpr const char* kLastTarget = "LastTarg";

// The target index belongs to the program's own pushpin file.
bool isProgramPushpinFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::weakly_canonical(path, ec) ==
           std::filesystem::weakly_canonical(Pushpins::defaultFilePath(), ec);
}

// Sets the target index from the stored "LastTarg" (only when it names a pushpin).
void restoreTarget(Pushpins& pins, FileRegistry& reg) {
    const Result<RegValue> v = reg.queryValue(RegRoot::LocalMachine, kSettingsKeyPath, kLastTarget);
    if (v && v->type == RegType::Dword && v->data.size() == 4) {
        pins.setTargetIndex(static_cast<std::int32_t>(dwordFromBytes(v->data)));
    }
}

Result<> storeTarget(const Pushpins& pins, FileRegistry& reg) {
    RegValue v{RegType::Dword, dwordBytes(static_cast<std::uint32_t>(pins.targetIndex()))};
    return reg.setValue(RegRoot::LocalMachine, kSettingsKeyPath, kLastTarget, v);
}

// Loads FILE.kpp; a missing file is an empty collection when allowed. A file
// that does not load cleanly is reported and left as it is.
// Saves the pushpins to path, and says so when the file was found damaged
// meanwhile and kept aside.
Result<> savePushpins(Pushpins& pins, const std::string& path) {
    Result<> saved = pins.saveFile(path);
    if (const std::optional<PushpinLoadResult> damaged = pins.takeDamagedOnSave()) {
        StderrMessageBoxes boxes;
        showMessage(boxes, damagedPushpinFileText(path, *damaged), kApplicationCaption,
                    MessageIcon::Exclamation);
    }
    return saved;
}

bool loadPushpins(Pushpins& pins, const std::string& path, bool missingIsEmpty) {
    errno = 0;
    PushpinLoadResult loaded = pins.loadFile(path);
    if (!loaded.opened) {
        const int e = errno;
        if (missingIsEmpty && !std::filesystem::exists(path)) {
            return true;
        }
        std::fprintf(stderr, "wayplot2-tool: cannot read %s: %s\n", path.c_str(),
                     systemErrorText(e).c_str());
        return false;
    }
    if (!loaded.clean()) {
        std::fprintf(stderr,
                     "wayplot2-tool: %s is damaged (%s): %d of its pushpins were read, %u "
                     "skipped; the file is left as it is (see pushpins salvage)\n",
                     path.c_str(), loaded.problem.c_str(), loaded.added, loaded.skipped);
        return false;
    }
    return true;
}

// A text on one line of the list: backslash, tab, line feed and carriage
// return written as \\, \t, \n and \r.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// One pushpin as JSON: position in degrees, altitude in metres, its date as
// UTC text (null when it has none).
std::string pushpinJson(const Pushpin& p, int index, bool target) {
    JsonObject json;
    json.add("index", index).add("target", target).add("name", p.name);
    json.add("latitude", p.latitude * kRadToDeg).add("longitude", p.longitude * kRadToDeg);
    json.add("altitude", p.altitude);
    const std::optional<UtcTime> time = fromGpsDateTime(p.time);
    json.addJson("time", time ? jsonString(formatIsoTime(*time)) : "null");
    json.add("icon", pushpinIconName(p.icon)).add("note", p.note);
    return json.text() + "\n";
}

}  // namespace

int runPushpinsList(const Invocation& call) {
    const std::string& file = call.arguments[0];
    Pushpins pins;
    // A damaged file still lists what could be read, and fails.
    const bool clean = loadPushpins(pins, file, false);
    if (!clean && pins.count() == 0) {
        return kExitFailure;
    }
    if (isProgramPushpinFile(file)) {
        Diagnostics diagnostics;  // nothing is traced here
        StderrMessageBoxes boxes;
        FileRegistry reg(diagnostics, boxes);
        restoreTarget(pins, reg);
    }
    int index = 0;
    for (const Pushpin& p : pins) {
        const bool target = index == pins.targetIndex();
        if (call.has("--json")) {
            std::fputs(pushpinJson(p, index, target).c_str(), stdout);
        } else {
            std::printf("%c%d\t%s\t%s\t%s\t%s\t%s\n", target ? '*' : ' ', index,
                        escaped(p.name).c_str(), cformat("%.8lf", p.latitude * kRadToDeg).c_str(),
                        cformat("%.8lf", p.longitude * kRadToDeg).c_str(),
                        cformat("%.2lf", p.altitude).c_str(), escaped(p.note).c_str());
        }
        ++index;
    }
    return clean ? kExitOk : kExitFailure;
}

namespace {

// One source's outcome on standard output; false when it was not read whole.
bool reportImport(const std::string& source, const ImportResult& r) {
    using Status = ImportResult::Status;
    switch (r.status) {
        case Status::UnknownExtension:
            std::printf("%s: not imported (unknown extension)\n", source.c_str());
            return false;
        case Status::CannotOpen:
            std::printf("%s: not imported (cannot be opened)\n", source.c_str());
            return false;
        default:
            break;
    }
    std::printf("%s: %d of %d waypoints added\n", source.c_str(), r.added, r.read);
    if (!r.problem.empty()) {
        std::printf("%s: %s\n", source.c_str(), r.problem.c_str());
    }
    return r.status == Status::Imported && r.refused == 0;
}

}  // namespace

// A SOURCE "-" is standard input, of the kind --format names.
int runPushpinsImport(const Invocation& call) {
    const std::string& file = call.arguments[0];
    const std::vector<std::string> sources(call.arguments.begin() + 1, call.arguments.end());
    const std::string format = call.value("--format");
    const auto fromStdin = std::count(sources.begin(), sources.end(), kStandardStream);
    if (fromStdin > 1 || (fromStdin == 1) != !format.empty()) {
        std::fprintf(stderr, "wayplot2-tool: standard input (-) is read once, with --format\n");
        return usageError(call);
    }
    std::optional<TemporaryFolder> temporary;
    if (fromStdin == 1) {
        temporary.emplace();
        if (!copyStandardInput(temporary->file("standard-input." + format))) {
            return kExitFailure;
        }
    }
    Pushpins pins;
    if (!loadPushpins(pins, file, true)) {
        return kExitFailure;
    }
    const bool programFile = isProgramPushpinFile(file);
    Diagnostics diagnostics;  // nothing is traced here
    StderrMessageBoxes boxes;
    FileRegistry reg(diagnostics, boxes);
    if (programFile) {
        restoreTarget(pins, reg);
    }
    bool allRead = true;
    int total = 0;
    for (const std::string& source : sources) {
        ImportResult r = importPushpins(
            pins, isStandardStream(source) ? temporary->file("standard-input." + format) : source);
        if (const std::optional<std::string> text = importMessage(r)) {
            showMessage(boxes, *text, kApplicationCaption, MessageIcon::Exclamation);
        }
        if (isStandardStream(source)) {
            r.path = "standard-input." + format;  // as messages name it
        }
        allRead = reportImport(source, r) && allRead;
        total += r.added;
    }
    // Nothing added: the pushpin file stays exactly as it was (or absent).
    if (total > 0) {
        if (const Result<> saved = savePushpins(pins, file); !saved) {
            std::fprintf(stderr, "wayplot2-tool: cannot %s\n", saved.error().text().c_str());
            return kExitFailure;
        }
    }
    // The imports moved the target up with the pushpins put in front of it.
    if (programFile) {
        if (const Result<> stored = storeTarget(pins, reg); !stored) {
            std::fprintf(stderr, "wayplot2-tool: cannot store %s: %s\n", kLastTarget,
                         stored.error().reason.c_str());
            return kExitFailure;
        }
    }
    std::printf("%d waypoints added, %d in %s\n", total, pins.count(), file.c_str());
    return allRead ? kExitOk : kExitFailure;
}

namespace {

bool parseFields(const std::string& list, ExportFields& fields) {
    fields = {false, false, false, false};
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        std::string name = list.substr(start, end - start);
        if (name == "name") {
            fields.name = true;
        } else if (name == "latitude") {
            fields.latitude = true;
        } else if (name == "longitude") {
            fields.longitude = true;
        } else if (name == "note") {
            fields.note = true;
        } else if (!name.empty()) {
            std::fprintf(stderr, "wayplot2-tool: unknown field '%s'\n", name.c_str());
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

// OUT "-" writes GPX or text (--format) to standard output.
int runPushpinsExport(const Invocation& call) {
    const std::string& out = call.arguments[1];
    const bool toStdout = isStandardStream(out);
    const std::string kind = toStdout ? "." + call.value("--format") : lowerExtension(out);
    const bool shapefile = kind == ".shp";
    const bool gpx = kind == ".gpx";
    ExportFields fields;
    if (toStdout != call.has("--format") ||
        (call.has("--fields") &&
         (shapefile || gpx || !parseFields(call.value("--fields"), fields)))) {
        return usageError(call);
    }
    Pushpins pins;
    if (!loadPushpins(pins, call.arguments[0], false)) {
        return kExitFailure;
    }
    std::optional<TemporaryFolder> temporary;
    if (toStdout) {
        temporary.emplace();
    }
    const std::string target = toStdout ? temporary->file("pushpins" + kind) : out;
    const Result<> done = target.empty() ? fail("write " + out, "no temporary folder")
                          : gpx          ? exportGpx(pins, target)
                          : shapefile    ? exportShapefile(pins, target)
                                         : exportText(pins, target, fields);
    if (!done) {
        std::fprintf(stderr, "wayplot2-tool: cannot %s\n", done.error().text().c_str());
        return kExitFailure;
    }
    if (toStdout) {
        return copyToStandardOutput(target) ? kExitOk : kExitFailure;
    }
    std::printf("%d waypoints exported to %s\n", pins.count(), out.c_str());
    return kExitOk;
}

// Reads the sound records of a damaged pushpin file into a new one; OUT.kpp
// "-" writes it to standard output (never to a terminal) and the report to
// standard error.
int runPushpinsSalvage(const Invocation& call) {
    const std::string& in = call.arguments[0];
    const std::string& out = call.arguments[1];
    const bool toStdout = isStandardStream(out);
    if (toStdout && refuseTerminalOutput("a pushpin file")) {
        return kExitFailure;
    }
    if (!toStdout && std::filesystem::exists(out)) {
        std::fprintf(stderr, "wayplot2-tool: %s exists; name a new file\n", out.c_str());
        return kExitFailure;
    }
    Pushpins pins;
    errno = 0;
    const PushpinLoadResult loaded = pins.loadFile(in);
    if (!loaded.opened) {
        std::fprintf(stderr, "wayplot2-tool: cannot read %s: %s\n", in.c_str(),
                     systemErrorText(errno).c_str());
        return kExitFailure;
    }
    std::FILE* report = toStdout ? stderr : stdout;
    if (!loaded.clean()) {
        std::fprintf(report, "%s: %s\n", in.c_str(), loaded.problem.c_str());
    }
    std::optional<TemporaryFolder> temporary;
    if (toStdout) {
        temporary.emplace();
    }
    const std::string target = toStdout ? temporary->file("salvaged.kpp") : out;
    if (target.empty()) {
        return kExitFailure;
    }
    if (const Result<> saved = savePushpins(pins, target); !saved) {
        std::fprintf(stderr, "wayplot2-tool: cannot %s\n", saved.error().text().c_str());
        return kExitFailure;
    }
    if (toStdout && !copyToStandardOutput(target)) {
        return kExitFailure;
    }
    std::fprintf(report, "%d pushpins recovered, %u skipped, in %s\n", loaded.added, loaded.skipped,
                 out.c_str());
    return kExitOk;
}

}  // namespace wp2::tool
