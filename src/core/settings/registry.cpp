// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/registry.h"

#include "core/base/cformat.h"

namespace wp2 {

std::string Registry::errorText(int code) const {
    switch (code) {
        case kRegOk:
            return "The operation completed successfully.";
        case kRegFileNotFound:
            return "The system cannot find the file specified.";
        case kRegAccessDenied:
            return "Access is denied.";
        case kRegWriteFault:
            return "The system cannot write to the specified device.";
        case kRegReadFault:
            return "The system cannot read from the specified device.";
        case kRegInvalidParameter:
            return "The parameter is incorrect.";
        case kRegWriteProtect:
            return "The media is write protected.";
        case kRegLocked:
            return "The process cannot access the file because another process has locked a "
                   "portion of the file.";
        default:
            return cformat("Unknown error %d.", code);
    }
}

Failure Registry::failure(int code, std::string what) const {
    int error = EIO;
    switch (code) {
        case kRegFileNotFound:
            error = ENOENT;
            break;
        case kRegAccessDenied:
            error = EACCES;
            break;
        case kRegInvalidParameter:
            error = EINVAL;
            break;
        case kRegWriteProtect:
            error = EROFS;
            break;
        case kRegLocked:
            error = EBUSY;
            break;
        default:
            break;
    }
    return Failure{std::move(what), errorText(code), error};
}

Result<> Registry::result(int code, std::string what) const {
    if (code == kRegOk) {
        return {};
    }
    return fail(failure(code, std::move(what)));
}

}  // namespace wp2
