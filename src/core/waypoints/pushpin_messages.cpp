// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin_messages.h"

#include "core/base/cformat.h"
#include "core/waypoints/pushpins.h"

namespace wp2 {

std::string csvFormatErrorText(int line, int read) {
    return cformat(
        "File format error at line %d\nOnly %d waypoints "
        "have been read\n\n"
        "Expected fields\n"
        "Lat,Lon,*Name,*Alt,*Note\n"
        "(* are optional)",
        line, read);
}

std::string damagedPushpinFileText(const std::string& path, const PushpinLoadResult& result) {
    std::string text = cformat("The pushpin file %s is damaged (%s).\n%d waypoints have been read",
                               path.c_str(), result.problem.c_str(), result.added);
    if (result.skipped > 0) {
        text += cformat("; %u damaged ones were skipped", result.skipped);
    }
    if (!result.keptAs.empty()) {
        text += "\nThe damaged file was kept as " + result.keptAs;
    } else if (!result.notMovedReason.empty()) {
        text += "\nIt could not be moved aside (" + result.notMovedReason +
                ") and will not be overwritten";
    }
    return text;
}

std::string partialImportText(const std::string& path, int read, int added,
                              const std::string& problem) {
    std::string text = cformat("%s:\n", path.c_str());
    if (!problem.empty()) {
        text += problem + "\n";
    }
    text += cformat("%d of %d waypoints added", added, read);
    if (added < read) {
        text += cformat("; %d lay within 5 m of a pushpin already there", read - added);
    }
    return text + ".";
}

std::string exportFailedText(const std::string& path, const std::string& reason) {
    if (reason.empty()) {
        return cformat("The file %s could not be written.", path.c_str());
    }
    return cformat("The file %s could not be written: %s", path.c_str(), reason.c_str());
}

}  // namespace wp2
