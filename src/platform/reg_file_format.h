// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of a settings store file: the format of Windows registry exports
// ("Windows Registry Editor Version 5.00"), which keeps each value's type and
// can be read and edited by hand. One file holds the keys of one root:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\KELM\Wayplot2]
//   "Driver"="1,4800,8,0,0"
//   "LastLat"=hex:00,00,00,00,00,00,24,40
//   "WarmStart"=dword:00000001
//
// Text is UTF-8 (files saved by Windows in UTF-16 with a byte-order mark are
// read too). Quoted strings escape only backslash and double quote; a REG_SZ
// that a quoted string cannot hold exactly (control characters, no or extra
// terminating zero, unpaired surrogates) is written as hex(1): bytes instead.
// Other types are written as hex(N):, where N is the type number.

#include <string>

#include "core/settings/reg_hive.h"
#include "core/settings/registry.h"

namespace wp2 {

class RegFileFormat {
public:
    // "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER".
    static const char* rootName(RegRoot root);
    // Accepts the names above (any case) and the short forms HKLM / HKCU.
    static bool parseRootName(const std::string& name, RegRoot& root);

    static std::string format(RegRoot root, const RegHive& hive);
    // Reads a file holding keys of `root` only. On failure returns false and
    // sets error to "line N: reason"; hive is then unspecified.
    static bool parse(const std::string& text, RegRoot root, RegHive& hive, std::string& error);
};

}  // namespace wp2
