// SPDX-License-Identifier: GPL-3.0-or-later
// Settings store files are edited by hand: any text must be either refused or
// read into a store that survives being written and read again unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/reg_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wp2;
    std::string text(reinterpret_cast<const char*>(data), size);
    RegHive hive;
    std::string error;
    if (!RegFileFormat::parse(text, RegRoot::LocalMachine, hive, error)) {
        if (error.rfind("line ", 0) != 0) {
            std::abort();  // every refusal names its line
        }
        return 0;
    }
    std::string written = RegFileFormat::format(RegRoot::LocalMachine, hive);
    RegHive back;
    if (!RegFileFormat::parse(written, RegRoot::LocalMachine, back, error) || !(back == hive)) {
        std::abort();
    }
    return 0;
}
