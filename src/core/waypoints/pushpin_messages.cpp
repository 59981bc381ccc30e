// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin_messages.h"

#include "core/base/cformat.h"
#include "core/base/message_box.h"
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

void reportCsvFormatError(int line, int read) {
    showMessage(csvFormatErrorText(line, read), kApplicationCaption, MessageIcon::Exclamation);
}

std::string damagedPushpinFileText(const std::string& path, const PushpinLoadResult& result,
                                   const std::string& notMovedReason) {
    std::string text = cformat("The pushpin file %s is damaged (%s).\n%d waypoints have been read",
                               path.c_str(), result.problem.c_str(), result.added);
    if (result.skipped > 0) {
        text += cformat("; %u damaged ones were skipped", result.skipped);
    }
    if (!result.keptAs.empty()) {
        text += "\nThe damaged file was kept as " + result.keptAs;
    } else if (!notMovedReason.empty()) {
        text +=
            "\nIt could not be moved aside (" + notMovedReason + ") and will not be overwritten";
    }
    return text;
}

void reportDamagedPushpinFile(const std::string& path, const PushpinLoadResult& result,
                              const std::string& notMovedReason) {
    showMessage(damagedPushpinFileText(path, result, notMovedReason), kApplicationCaption,
                MessageIcon::Exclamation);
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

void reportPartialImport(const std::string& path, int read, int added, const std::string& problem) {
    showMessage(partialImportText(path, read, added, problem), kApplicationCaption,
                MessageIcon::Exclamation);
}

std::string exportFailedText(const std::string& path, const std::string& reason) {
    if (reason.empty()) {
        return cformat("The file %s could not be written.", path.c_str());
    }
    return cformat("The file %s could not be written: %s", path.c_str(), reason.c_str());
}

void reportExportFailed(const std::string& path, const std::string& reason) {
    showMessage(exportFailedText(path, reason), kApplicationCaption, MessageIcon::Exclamation);
}

}  // namespace wp2
