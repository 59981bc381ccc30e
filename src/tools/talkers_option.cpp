// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/talkers_option.h"

namespace wp2::tool {

bool takeTalkersOption(std::vector<std::string>& args, Talkers& talkers) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--talkers") {
            continue;
        }
        if (i + 1 >= args.size() || (args[i + 1] != "any" && args[i + 1] != "gp")) {
            return false;
        }
        talkers = args[i + 1] == "any" ? Talkers::Any : Talkers::GpsOnly;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        --i;
    }
    return true;
}

}  // namespace wp2::tool
