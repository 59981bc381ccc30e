// SPDX-License-Identifier: GPL-3.0-or-later
// The table of wayplot2-tool commands (see tool_command.h). Each handler lives
// in the file of its command.

#include "tools/tool_command.h"

namespace wp2::tool {

int runHelp(const Invocation& call);
int runVersion(const Invocation& call);
int runSettingsList(const Invocation& call);
int runSettingsGet(const Invocation& call);
int runSettingsSet(const Invocation& call);
int runSettingsDelete(const Invocation& call);
int runReplay(const Invocation& call);
int runDecode(const Invocation& call);
int runPushpinsList(const Invocation& call);
int runPushpinsImport(const Invocation& call);
int runPushpinsExport(const Invocation& call);
int runPushpinsSalvage(const Invocation& call);
int runMonitor(const Invocation& call);
int runScan(const Invocation& call);
int runTrackExport(const Invocation& call);
int runTrackImport(const Invocation& call);
int runTrackInfo(const Invocation& call);
int runRouteList(const Invocation& call);
int runRouteShow(const Invocation& call);
int runRouteImport(const Invocation& call);
int runRouteExport(const Invocation& call);
int runRouteDelete(const Invocation& call);
#ifdef WAYPLOT2_HAVE_MAP
int runMapProgram(const Invocation& call);
#endif

namespace {

constexpr Option kKey{"--key", "PATH", "another key of the store than the program's settings"};
constexpr Option kTalkers{"--talkers", "any|gp",
                          "decode every talker's position sentences (any) or the GPS talker's"};

}  // namespace

extern const Command kCommands[] = {
    {"help",
     "[COMMAND] [SUB-COMMAND]",
     "Print the usage of every command, or of one.",
     {},
     runHelp},
    {"version", "", "Print the version.", {}, runVersion},
    {"settings list",
     "",
     "Print every value of the settings key, one a line.",
     {{kKey}},
     runSettingsList},
    {"settings get", "NAME", "Print one value as it is stored.", {{kKey}}, runSettingsGet},
    {"settings set",
     "NAME dword|binary-double|text VALUE",
     "Store a value.",
     {{kKey}},
     runSettingsSet},
    {"settings delete",
     "NAME",
     "Remove a value; the program then uses its default.",
     {{kKey}},
     runSettingsDelete},
    {"replay",
     "LOG [OUT.atk]",
     "Run a recorded NMEA log (- for standard input) through the decoding and track "
     "recording, save the track and print the statistics.",
     {{kTalkers,
       {"--route", "ROUTE.gpx",
        "follow the first route of the file and print each point reached or passed"},
       {"--trip", nullptr, "end with the trip computer's figures; OUT.atk may then be left out"}}},
     runReplay},
    {"decode",
     "LOG",
     "Run a recorded NMEA log (- for standard input) through the decoding and print every "
     "fix offered to the track recording as CSV.",
     {{kTalkers}},
     runDecode},
    {"pushpins list",
     "FILE.kpp",
     "Print every pushpin, one a line.",
     {{{"--json", nullptr, "print one JSON object a pushpin instead of the text"}}},
     runPushpinsList},
    {"pushpins import",
     "FILE.kpp SOURCE...",
     "Add the waypoints of each SOURCE (- for standard input) to the pushpin file.",
     {{{"--format", "gpx|csv|loc|txt", "the kind of a SOURCE read from standard input"}}},
     runPushpinsImport},
    {"pushpins export",
     "FILE.kpp OUT.{shp,txt,gpx}",
     "Write the pushpins as a Shapefile, semicolon-separated text or GPX (- for standard "
     "output).",
     {{{"--fields", "name,latitude,longitude,note", "the columns of a text export"},
       {"--format", "gpx|txt", "the kind of file written to standard output"}}},
     runPushpinsExport},
    {"pushpins salvage",
     "FILE.bad OUT.kpp",
     "Read the sound records of a damaged pushpin file into a new one.",
     {},
     runPushpinsSalvage},
    {"monitor",
     "",
     "Open the receiver as the dashboard does and print its status report once a second.",
     {{{"--port", "N", "the port number (1 to 11) instead of the stored one"},
       {"--device", "PATH|gpsd://HOST[:PORT]|tcp://HOST:PORT",
        "a device or network source instead of the port's (not with --port)"},
       {"--baud", "B", "the baud rate instead of the stored one"},
       {"--seconds", "S", "stop after S reports"},
       kTalkers,
       {"--json", nullptr, "print each report as one JSON object on a line"}}},
     runMonitor},
    {"scan",
     "",
     "Look for a receiver on the serial ports and store the port found.",
     {{{"--ports", "N", "try only the first N ports of the scan order"}}},
     runScan},
    {"track export",
     "IN.atk OUT.gpx",
     "Write a track file as a GPX 1.1 track (- for standard output).",
     {},
     runTrackExport},
    {"track import",
     "IN.gpx OUT.atk",
     "Convert the tracks and routes of a GPX file (- for standard input) into a track file.",
     {},
     runTrackImport},
    {"track info",
     "FILE.{atk,gpx}",
     "Describe a track: points, length, times, speed, extent.",
     {{{"--json", nullptr, "print one JSON object in SI units instead of the text"}}},
     runTrackInfo},
    {"route list", "", "Print every route: name, points, length in metres.", {}, runRouteList},
    {"route show", "NAME", "Print the points of one route.", {}, runRouteShow},
    {"route import",
     "FILE.gpx",
     "Add the routes of a GPX file to the route file.",
     {},
     runRouteImport},
    {"route export",
     "FILE.gpx [NAME]",
     "Write every route, or the one named, as GPX 1.1.",
     {},
     runRouteExport},
    {"route delete", "NAME", "Remove a route from the route file.", {}, runRouteDelete},
#ifdef WAYPLOT2_HAVE_MAP
    withHandler(kMapInfo, runMapProgram),
    withHandler(kMapRender, runMapProgram),
#endif
};
extern const std::size_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

}  // namespace wp2::tool
