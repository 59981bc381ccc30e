// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool pushpins: lists a pushpin file, imports waypoint files into it
// (each source exactly as one import from the Pushpins dialog), exports it
// as a Shapefile, a semicolon-separated text file or GPX 1.1, and reads the
// sound records of a damaged one into a new file.

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/cformat.h"
#include "core/nav/angles.h"
#include "core/settings/reg_number.h"
#include "core/settings/reg_values.h"
#include "core/waypoints/pushpin_export.h"
#include "core/waypoints/pushpin_gpx.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/pushpins.h"
#include "messages/message_box.h"
#include "platform/file_registry.h"
#include "tools/tool_command.h"

namespace wp2::tool {

extern const Command kPushpinsCommand;

namespace {

int runPushpins(const std::vector<std::string>& args);

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
        showMessage(damagedPushpinFileText(path, *damaged), kApplicationCaption,
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

int listPushpins(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return usageError(kPushpinsCommand);
    }
    Pushpins pins;
    // A damaged file still lists what could be read, and fails.
    const bool clean = loadPushpins(pins, args[1], false);
    if (!clean && pins.count() == 0) {
        return kExitFailure;
    }
    if (isProgramPushpinFile(args[1])) {
        FileRegistry reg;
        restoreTarget(pins, reg);
    }
    int index = 0;
    for (const Pushpin& p : pins) {
        char mark = index == pins.targetIndex() ? '*' : ' ';
        std::printf("%c%d\t%s\t%s\t%s\t%s\t%s\n", mark, index, escaped(p.name).c_str(),
                    cformat("%.8lf", p.latitude * kRadToDeg).c_str(),
                    cformat("%.8lf", p.longitude * kRadToDeg).c_str(),
                    cformat("%.2lf", p.altitude).c_str(), escaped(p.note).c_str());
        ++index;
    }
    return clean ? kExitOk : kExitFailure;
}

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

int importIntoPushpins(const std::vector<std::string>& args) {
    if (args.size() < 3) {
        return usageError(kPushpinsCommand);
    }
    const std::string& file = args[1];
    Pushpins pins;
    if (!loadPushpins(pins, file, true)) {
        return kExitFailure;
    }
    const bool programFile = isProgramPushpinFile(file);
    FileRegistry reg;
    if (programFile) {
        restoreTarget(pins, reg);
    }
    bool allRead = true;
    int total = 0;
    for (std::size_t i = 2; i < args.size(); ++i) {
        ImportResult r = importPushpins(pins, args[i]);
        if (const std::optional<std::string> text = importMessage(r)) {
            showMessage(*text, kApplicationCaption, MessageIcon::Exclamation);
        }
        allRead = reportImport(args[i], r) && allRead;
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

int exportPushpins(const std::vector<std::string>& args) {
    const bool withFields = args.size() == 5 && args[3] == "--fields";
    if (args.size() != 3 && !withFields) {
        return usageError(kPushpinsCommand);
    }
    const std::string& out = args[2];
    const bool shapefile = lowerExtension(out) == ".shp";
    const bool gpx = lowerExtension(out) == ".gpx";
    ExportFields fields;
    if (withFields && (shapefile || gpx || !parseFields(args[4], fields))) {
        return usageError(kPushpinsCommand);
    }
    Pushpins pins;
    if (!loadPushpins(pins, args[1], false)) {
        return kExitFailure;
    }
    const Result<> done = gpx         ? exportGpx(pins, out)
                          : shapefile ? exportShapefile(pins, out)
                                      : exportText(pins, out, fields);
    if (!done) {
        std::fprintf(stderr, "wayplot2-tool: cannot %s\n", done.error().text().c_str());
        return kExitFailure;
    }
    std::printf("%d waypoints exported to %s\n", pins.count(), out.c_str());
    return kExitOk;
}

// Reads the sound records of a damaged pushpin file into a new one.
int salvagePushpins(const std::vector<std::string>& args) {
    if (args.size() != 3) {
        return usageError(kPushpinsCommand);
    }
    const std::string& out = args[2];
    if (std::filesystem::exists(out)) {
        std::fprintf(stderr, "wayplot2-tool: %s exists; name a new file\n", out.c_str());
        return kExitFailure;
    }
    Pushpins pins;
    errno = 0;
    const PushpinLoadResult loaded = pins.loadFile(args[1]);
    if (!loaded.opened) {
        std::fprintf(stderr, "wayplot2-tool: cannot read %s: %s\n", args[1].c_str(),
                     systemErrorText(errno).c_str());
        return kExitFailure;
    }
    if (!loaded.clean()) {
        std::printf("%s: %s\n", args[1].c_str(), loaded.problem.c_str());
    }
    if (const Result<> saved = savePushpins(pins, out); !saved) {
        std::fprintf(stderr, "wayplot2-tool: cannot %s\n", saved.error().text().c_str());
        return kExitFailure;
    }
    std::printf("%d pushpins recovered, %u skipped, in %s\n", loaded.added, loaded.skipped,
                out.c_str());
    return kExitOk;
}

int runPushpins(const std::vector<std::string>& args) {
    if (args.empty()) {
        return usageError(kPushpinsCommand);
    }
    if (args[0] == "list") {
        return listPushpins(args);
    }
    if (args[0] == "import") {
        return importIntoPushpins(args);
    }
    if (args[0] == "export") {
        return exportPushpins(args);
    }
    if (args[0] == "salvage") {
        return salvagePushpins(args);
    }
    return usageError(kPushpinsCommand);
}

}  // namespace

extern const Command kPushpinsCommand = {
    "pushpins",
    "pushpins list FILE.kpp\n"
    "       pushpins import FILE.kpp SOURCE.{loc,csv,txt,kpp,gpx}...\n"
    "       pushpins export FILE.kpp OUT.shp\n"
    "       pushpins export FILE.kpp OUT.gpx\n"
    "       pushpins export FILE.kpp OUT.txt [--fields name,latitude,longitude,note]\n"
    "       pushpins salvage FILE.bad OUT.kpp",
    runPushpins};

}  // namespace wp2::tool
