#include "core/waypoints/pushpin_messages.h"

#include "core/base/cformat.h"
#include "core/base/message_box.h"

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

std::string damagedPushpinFileText(const std::string& path, int read) {
    return cformat("The pushpin file %s is damaged.\nOnly %d waypoints have been read",
                   path.c_str(), read);
}

void reportDamagedPushpinFile(const std::string& path, int read) {
    showMessage(damagedPushpinFileText(path, read), kApplicationCaption, MessageIcon::Exclamation);
}

std::string exportFailedText(const std::string& path) {
    return cformat("The file %s could not be written.", path.c_str());
}

void reportExportFailed(const std::string& path) {
    showMessage(exportFailedText(path), kApplicationCaption, MessageIcon::Exclamation);
}

}  // namespace wp2
