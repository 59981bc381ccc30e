// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/registry.h"

#include "core/base/cformat.h"
#include "core/settings/memory_registry.h"

namespace wp2 {

namespace {

MemoryRegistry& defaultRegistry() {
    static MemoryRegistry r;
    return r;
}

Registry* current = nullptr;

}  // namespace

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
        case kRegMoreData:
            return "More data is available.";
        default:
            return cformat("Unknown error %d.", code);
    }
}

Registry& registry() {
    return current ? *current : defaultRegistry();
}

Registry* setRegistry(Registry* r) {
    Registry* previous = &registry();
    current = r;
    return previous;
}

}  // namespace wp2
