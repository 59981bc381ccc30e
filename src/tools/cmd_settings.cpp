// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool settings: lists, reads, writes and deletes values of the
// settings key (or of another key given with --key) in the program's store.
//
//   list                 one line per value: name, type, value (tab-separated)
//   get NAME             the value alone
//   set NAME TYPE VALUE  TYPE is dword (-2147483648..4294967295 or 0x...),
//                        binary-double (8-byte IEEE double) or text
//   delete NAME
//
// The empty value name is shown as "@". In list, control characters of a text
// are shown as \xNN so that every value stays on its line; get prints the text
// as it is.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/base/diagnostics.h"
#include "core/settings/reg_hive.h"
#include "core/settings/reg_number.h"
#include "core/settings/reg_sz.h"
#include "core/settings/reg_values.h"
#include "messages/message_box.h"
#include "platform/file_registry.h"
#include "platform/reg_file_format.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

struct Key {
    RegRoot root = RegRoot::LocalMachine;
    std::string path = kSettingsKeyPath;

    std::string describe() const {
        return std::string(RegFileFormat::rootName(root)) + "\\" + path;
    }
};

// PATH is a key of the local-machine root, or starts with a root name
// ("HKEY_CURRENT_USER\Software\X", "HKCU\Software\X").
bool parseKey(const std::string& text, Key& key) {
    std::size_t slash = text.find('\\');
    RegRoot root;
    std::string rest = text;
    key.root = RegRoot::LocalMachine;
    if (slash != std::string::npos && RegFileFormat::parseRootName(text.substr(0, slash), root)) {
        key.root = root;
        rest = text.substr(slash + 1);
    }
    return normalizeKeyPath(rest, key.path);
}

// Decimal -2147483648..4294967295 (negative numbers are stored as their two's
// complement) or hexadecimal 0x0..0xffffffff.
bool parseDword(const std::string& text, std::uint32_t& out) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    bool negative = !hex && !text.empty() && text[0] == '-';
    std::size_t start = hex ? 2 : (negative ? 1 : 0);
    if (start >= text.size() || text.size() - start > 10) {
        return false;
    }
    std::uint64_t n = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'          ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
        if (digit < 0) {
            return false;
        }
        n = n * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    }
    if ((negative && n > 0x80000000ull) || n > 0xFFFFFFFFull) {
        return false;
    }
    out = static_cast<std::uint32_t>(negative ? (0 - n) : n);
    return true;
}

bool parseDouble(const std::string& text, double& out) {
    return !text.empty() && text[0] != ' ' && text[0] != '\t' &&
           cparseDouble(text.c_str(), out) == text.size();
}

// The shortest text that reads back as the same double.
std::string formatDouble(double value) {
    for (int precision = 15; precision < 17; ++precision) {
        std::string text = cformat("%.*g", precision, value);
        double back;
        if (cparseDouble(text.c_str(), back) == text.size() && back == value) {
            return text;
        }
    }
    return cformat("%.17g", value);
}

std::string hexBytes(const std::vector<std::uint8_t>& data) {
    std::string out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += cformat(i ? ",%02x" : "%02x", data[i]);
    }
    return out;
}

std::string escapeControls(const std::string& text) {
    std::string out;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        out += (u < 0x20 || u == 0x7F) ? cformat("\\x%02x", u) : std::string(1, c);
    }
    return out;
}

// The type word and value text of a stored value, in the words of `set`
// where the value fits one of them.
void describe(const RegValue& value, bool forList, std::string& type, std::string& text) {
    if (value.type == RegType::Dword && value.data.size() == 4) {
        type = "dword";
        text = cformat("%d", static_cast<std::int32_t>(dwordFromBytes(value.data)));
    } else if (value.type == RegType::Binary && value.data.size() == 8) {
        type = "binary-double";
        text = formatDouble(doubleFromBytes(value.data));
    } else if (value.type == RegType::Sz) {
        type = "text";
        text = regSzToUtf8(value.data);
        if (forList) {
            text = escapeControls(text);
        }
    } else {
        type = value.type == RegType::Binary
                   ? "binary"
                   : cformat("hex(%x)", static_cast<unsigned>(value.type));
        text = hexBytes(value.data);
    }
}

std::string displayName(const std::string& name) {
    return name.empty() ? "@" : name;
}

int report(const Result<>& done, const char* what, const std::string& name, const Key& key) {
    if (done) {
        return kExitOk;
    }
    std::fprintf(stderr, "wayplot2-tool: settings: cannot %s \"%s\" in %s: %s\n", what,
                 name.c_str(), key.describe().c_str(), done.error().reason.c_str());
    return kExitFailure;
}

int list(FileRegistry& reg, const Key& key) {
    const Result<> opened = reg.openKey(key.root, key.path);
    if (!opened && !absent(opened.error())) {
        std::fprintf(stderr, "wayplot2-tool: settings: cannot read %s: %s\n",
                     key.describe().c_str(), opened.error().reason.c_str());
        return kExitFailure;
    }
    for (const auto& [name, value] : reg.listValues(key.root, key.path)) {
        std::string type, text;
        describe(value, true, type, text);
        std::printf("%s\t%s\t%s\n", escapeControls(displayName(name)).c_str(), type.c_str(),
                    text.c_str());
    }
    return kExitOk;
}

int get(FileRegistry& reg, const Key& key, const std::string& name) {
    const Result<RegValue> value = reg.queryValue(key.root, key.path, name);
    if (!value && absent(value.error())) {
        std::fprintf(stderr, "wayplot2-tool: settings: no value \"%s\" in %s\n", name.c_str(),
                     key.describe().c_str());
        return kExitFailure;
    }
    if (!value) {
        return report(fail(value.error()), "read", name, key);
    }
    std::string type, text;
    describe(*value, false, type, text);
    std::printf("%s\n", text.c_str());
    return kExitOk;
}

// Turns TYPE and VALUE into the value to store; false when they are not valid.
bool makeValue(const std::string& type, const std::string& text, RegValue& value) {
    if (type == "dword") {
        std::uint32_t n;
        if (!parseDword(text, n)) {
            return false;
        }
        value = RegValue{RegType::Dword, dwordBytes(n)};
        return true;
    }
    if (type == "binary-double") {
        double d;
        if (!parseDouble(text, d)) {
            return false;
        }
        value = RegValue{RegType::Binary, doubleBytes(d)};
        return true;
    }
    if (type == "text") {
        bool ok = true;
        value = RegValue{RegType::Sz, encodeRegSz(text, &ok)};
        return ok && text.find('\0') == std::string::npos;
    }
    return false;
}

// The key of --key, or the settings key; false when PATH is not a key.
bool keyOf(const Invocation& call, Key& key) {
    return !call.has("--key") || parseKey(call.value("--key"), key);
}

bool nameOf(const Invocation& call) {
    return !call.arguments[0].empty() && validValueName(call.arguments[0]);
}

}  // namespace

int runSettingsList(const Invocation& call) {
    Key key;
    if (!keyOf(call, key)) {
        return usageError(call);
    }
    Diagnostics diagnostics;  // nothing is traced here
    StderrMessageBoxes boxes;
    FileRegistry reg(diagnostics, boxes);
    return list(reg, key);
}

int runSettingsGet(const Invocation& call) {
    Key key;
    if (!keyOf(call, key) || !nameOf(call)) {
        return usageError(call);
    }
    Diagnostics diagnostics;  // nothing is traced here
    StderrMessageBoxes boxes;
    FileRegistry reg(diagnostics, boxes);
    return get(reg, key, call.arguments[0]);
}

int runSettingsSet(const Invocation& call) {
    Key key;
    RegValue value;
    const std::vector<std::string>& a = call.arguments;
    if (!keyOf(call, key) || !nameOf(call) || !makeValue(a[1], a[2], value)) {
        return usageError(call);
    }
    Diagnostics diagnostics;  // nothing is traced here
    StderrMessageBoxes boxes;
    FileRegistry reg(diagnostics, boxes);
    return report(reg.setValue(key.root, key.path, a[0], value), "set", a[0], key);
}

int runSettingsDelete(const Invocation& call) {
    Key key;
    if (!keyOf(call, key) || !nameOf(call)) {
        return usageError(call);
    }
    Diagnostics diagnostics;  // nothing is traced here
    StderrMessageBoxes boxes;
    FileRegistry reg(diagnostics, boxes);
    const std::string& name = call.arguments[0];
    return report(reg.deleteValue(key.root, key.path, name), "delete", name, key);
}

}  // namespace wp2::tool
