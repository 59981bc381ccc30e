// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/reg_file_format.h"

#include <cctype>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/cformat.h"
#include "core/settings/reg_sz.h"

namespace wp2 {

namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
constexpr const char* kHeader4 = "REGEDIT4";
// Hex data lines are wrapped before this column, as registry exports do.
constexpr std::size_t kWrapColumn = 77;

// ---- writing ----

void appendQuoted(std::string& out, std::string_view s) {
    out.push_back('"');
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

// Whether a quoted string reproduces REG_SZ data byte for byte: one
// terminating zero at the end and nothing a line of text cannot carry.
bool quotable(const std::vector<std::uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 1] != 0 ||
        data[data.size() - 2] != 0) {
        return false;
    }
    const std::size_t units = data.size() / 2 - 1;
    if (regSzLength(data) != units) {
        return false;  // a zero character before the end
    }
    const auto unit = [&data](std::size_t i) { return data[2 * i] | (data[2 * i + 1] << 8); };
    for (std::size_t i = 0; i < units; ++i) {
        const int c = unit(i);
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
        bool high = c >= 0xD800 && c <= 0xDBFF;
        bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            return false;
        }
    }
    return true;
}

void appendHex(std::string& out, std::string line, const std::vector<std::uint8_t>& data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::string item = cformat("%02x", data[i]);
        if (i + 1 < data.size()) {
            item.push_back(',');
        }
        if (line.size() + item.size() > kWrapColumn && line.back() == ',') {
            out += line + "\\\n";
            line = "  ";
        }
        line += item;
    }
    out += line + "\n";
}

void appendValue(std::string& out, const std::string& name, const RegValue& value) {
    std::string line;
    if (name.empty()) {
        line = "@";
    } else {
        appendQuoted(line, name);
    }
    line += "=";
    if (value.type == RegType::Sz && quotable(value.data)) {
        out += line;
        appendQuoted(out, regSzToUtf8(value.data));
        out += "\n";
    } else if (value.type == RegType::Dword && value.data.size() == 4) {
        std::uint32_t n = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                          (static_cast<std::uint32_t>(value.data[3]) << 24);
        out += line + cformat("dword:%08x", n) + "\n";
    } else if (value.type == RegType::Binary) {
        appendHex(out, line + "hex:", value.data);
    } else {
        appendHex(out, line + cformat("hex(%x):", static_cast<unsigned>(value.type)), value.data);
    }
}

// ---- reading ----
//
// The file is read in place: lines and fields are views of its text, and a
// value's data is made once, straight from its text, so a large value costs
// its text and its data and no copies between.

std::string_view trim(std::string_view s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) {
        return {};
    }
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(s[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

// Text of the file as UTF-8: a UTF-16LE file (byte-order mark FF FE) is
// converted into `converted`, a UTF-8 byte-order mark skipped.
std::string_view asUtf8(const std::string& raw, std::string& converted) {
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF &&
        static_cast<unsigned char>(raw[1]) == 0xFE) {
        converted = utf16LeToUtf8(reinterpret_cast<const std::uint8_t*>(raw.data()) + 2,
                                  (raw.size() - 2) / 2);
        return converted;
    }
    std::string_view text = raw;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    return text;
}

// Reads a quoted string starting at s[pos] == '"'; pos ends after the closing
// quote. Text without escapes is a view of s; otherwise it is unescaped into
// `unescaped`, which the result then views.
bool readQuoted(std::string_view s, std::size_t& pos, std::string& unescaped,
                std::string_view& out) {
    const std::size_t stop = s.find_first_of("\"\\", pos + 1);
    if (stop != std::string_view::npos && s[stop] == '"') {
        out = s.substr(pos + 1, stop - pos - 1);
        pos = stop + 1;
        return true;
    }
    unescaped.clear();
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            pos = i + 1;
            out = unescaped;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) {
                return false;
            }
            c = s[++i];
        }
        unescaped.push_back(c);
    }
    return false;
}

int hexDigit(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

bool parseHexNumber(std::string_view s, std::uint32_t& out) {
    if (s.empty() || s.size() > 8) {
        return false;
    }
    out = 0;
    for (char c : s) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            return false;
        }
        out = (out << 4) | static_cast<std::uint32_t>(digit);
    }
    return true;
}

// A hex byte list ("4a,0b"), fed a line's part at a time: items of one or
// two digits separated by commas, blanks allowed anywhere; no item at all is
// an empty list.
class HexList {
public:
    explicit HexList(std::vector<std::uint8_t>& out) : out_(out) {}

    bool feed(std::string_view part) {
        for (char c : part) {
            if (c == ' ' || c == '\t') {
                continue;
            }
            any_ = true;
            if (c == ',') {
                if (!endItem()) {
                    return false;
                }
                continue;
            }
            const int digit = hexDigit(c);
            if (digit < 0 || ++digits_ > 2) {
                return false;
            }
            byte_ = (byte_ << 4) | static_cast<std::uint32_t>(digit);
        }
        return true;
    }
    bool finish() { return !any_ || endItem(); }

private:
    bool endItem() {
        if (digits_ == 0) {
            return false;
        }
        out_.push_back(static_cast<std::uint8_t>(byte_));
        digits_ = 0;
        byte_ = 0;
        return true;
    }

    std::vector<std::uint8_t>& out_;
    int digits_ = 0;
    std::uint32_t byte_ = 0;
    bool any_ = false;
};

class Parser {
public:
    Parser(std::string_view text, RegRoot root, RegHive& hive)
        : text_(text), root_(root), hive_(hive) {}

    bool run(std::string& error) {
        bool headerSeen = false;
        std::string_view raw;
        while (nextLine(raw)) {
            const std::size_t first = lineNumber_;  // errors name the line an entry starts on
            const std::string_view line = trim(raw);
            if (line.empty() || line[0] == ';') {
                continue;
            }
            bool ok;
            if (!headerSeen) {
                headerSeen = ok = (line == kHeader || line == kHeader4);
                if (!ok) {
                    error_ = cformat("not a registry file (expected \"%s\")", kHeader);
                }
            } else if (line[0] == '[') {
                ok = keyLine(line);
            } else {
                ok = valueLine(line);
            }
            if (!ok) {
                error = cformat("line %zu: %s", first, error_.c_str());
                return false;
            }
        }
        return true;
    }

private:
    // The next line without its end ("\n" or "\r\n"); false after the last.
    bool nextLine(std::string_view& line) {
        if (at_ > text_.size()) {
            return false;
        }
        std::size_t end = text_.find('\n', at_);
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        line = text_.substr(at_, end - at_);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        at_ = end + 1;
        ++lineNumber_;
        return true;
    }

    bool fail(const std::string& reason) {
        error_ = reason;
        return false;
    }

    bool keyLine(std::string_view line) {
        if (line.back() != ']') {
            return fail("a key name must end with ']'");
        }
        const std::string inner(line.substr(1, line.size() - 2));
        if (!inner.empty() && inner[0] == '-') {
            return fail("deleting keys is not supported in a settings file");
        }
        std::size_t slash = inner.find('\\');
        RegRoot root;
        if (!RegFileFormat::parseRootName(inner.substr(0, slash), root)) {
            return fail("unknown root key '" + inner.substr(0, slash) + "'");
        }
        if (root != root_) {
            return fail(cformat("key of %s in the file of %s", RegFileFormat::rootName(root),
                                RegFileFormat::rootName(root_)));
        }
        if (slash == std::string::npos || !normalizeKeyPath(inner.substr(slash + 1), key_)) {
            return fail("invalid key path");
        }
        hive_.createKey(key_);
        inKey_ = true;
        return true;
    }

    bool valueLine(std::string_view line) {
        if (!inKey_) {
            return fail("value outside of a key");
        }
        std::string_view name;
        std::size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (line[0] != '"' || !readQuoted(line, pos, unescaped_, name)) {
            return fail("expected a quoted value name or @");
        }
        const std::string nameText(name);
        if (!validValueName(nameText)) {
            return fail("invalid value name");
        }
        const std::string_view rest = trim(line.substr(pos));
        if (rest.empty() || rest[0] != '=') {
            return fail("expected '=' after the value name");
        }
        RegValue value;
        if (!valueData(trim(rest.substr(1)), value)) {
            return false;
        }
        hive_.set(key_, nameText, std::move(value));
        return true;
    }

    bool valueData(std::string_view data, RegValue& value) {
        if (!data.empty() && data[0] == '"') {
            std::size_t pos = 0;
            std::string_view text;
            if (!readQuoted(data, pos, unescaped_, text) || !trim(data.substr(pos)).empty()) {
                return fail("badly quoted text");
            }
            bool ok = true;
            value = RegValue{RegType::Sz, encodeRegSz(text, &ok)};
            return ok || fail("text is not valid UTF-8");
        }
        if (startsWithNoCase(data, "dword:")) {
            std::uint32_t n;
            if (!parseHexNumber(data.substr(6), n)) {
                return fail("dword: needs 1 to 8 hexadecimal digits");
            }
            value =
                RegValue{RegType::Dword,
                         {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                          static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
            return true;
        }
        if (startsWithNoCase(data, "hex")) {
            return hexData(data, value);
        }
        if (data == "-") {
            return fail("deleting values is not supported in a settings file");
        }
        return fail("unknown value type");
    }

    bool hexData(std::string_view data, RegValue& value) {
        const std::size_t colon = data.find(':');
        if (colon == std::string_view::npos) {
            return fail("expected ':' after hex");
        }
        const std::string_view kind = data.substr(0, colon);
        std::uint32_t type = static_cast<std::uint32_t>(RegType::Binary);
        if (kind.size() > 5 && kind[3] == '(' && kind.back() == ')') {
            if (!parseHexNumber(kind.substr(4, kind.size() - 5), type)) {
                return fail("bad type number in hex(...)");
            }
        } else if (kind.size() != 3) {
            return fail("unknown value type");
        }
        // A trailing backslash continues the list on the next line.
        HexList bytes(value.data);
        bool good = true;
        std::string_view list = data.substr(colon + 1);
        while (!list.empty() && list.back() == '\\') {
            list.remove_suffix(1);
            good = good && bytes.feed(list);
            std::string_view next;
            if (!nextLine(next)) {
                return fail("hex data continued past the end of the file");
            }
            list = trim(next);
        }
        if (!good || !bytes.feed(list) || !bytes.finish()) {
            return fail("bad hex byte list");
        }
        value.type = static_cast<RegType>(type);
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t lineNumber_ = 0;
    RegRoot root_;
    RegHive& hive_;
    std::string key_;
    bool inKey_ = false;
    std::string error_;
    std::string unescaped_;  // a quoted string with escapes, undone
};

}  // namespace

const char* RegFileFormat::rootName(RegRoot root) {
    return root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool RegFileFormat::parseRootName(const std::string& name, RegRoot& root) {
    std::string upper;
    for (char c : name) {
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    if (upper == "HKEY_LOCAL_MACHINE" || upper == "HKLM") {
        root = RegRoot::LocalMachine;
        return true;
    }
    if (upper == "HKEY_CURRENT_USER" || upper == "HKCU") {
        root = RegRoot::CurrentUser;
        return true;
    }
    return false;
}

std::string RegFileFormat::format(RegRoot root, const RegHive& hive) {
    std::string out = std::string(kHeader) + "\n\n";
    for (const auto& [path, values] : hive.keys()) {
        out += "[" + std::string(rootName(root)) + "\\" + path + "]\n";
        for (const auto& [name, value] : values) {
            appendValue(out, name, value);
        }
        out += "\n";
    }
    return out;
}

bool RegFileFormat::parse(const std::string& text, RegRoot root, RegHive& hive,
                          std::string& error) {
    std::string converted;
    return Parser(asUtf8(text, converted), root, hive).run(error);
}

}  // namespace wp2
