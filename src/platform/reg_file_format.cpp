#include "platform/reg_file_format.h"

#include <cctype>
#include <cstdint>
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

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// The UTF-8 text of REG_SZ data when a quoted string reproduces the data
// byte for byte: one terminating zero at the end and nothing a line of text
// cannot carry.
bool quotable(const std::vector<std::uint8_t>& data, std::string& text) {
    if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 1] != 0 ||
        data[data.size() - 2] != 0) {
        return false;
    }
    std::u16string units = decodeRegSz(data);
    if ((units.size() + 1) * 2 != data.size()) {
        return false;  // a zero character before the end
    }
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t c = units[i];
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
        bool high = c >= 0xD800 && c <= 0xDBFF;
        bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            return false;
        }
    }
    text = utf16ToUtf8(units);
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
    std::string line = (name.empty() ? std::string("@") : quote(name)) + "=";
    std::string text;
    if (value.type == RegType::Sz && quotable(value.data, text)) {
        out += line + quote(text) + "\n";
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

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) {
        return {};
    }
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool startsWithNoCase(const std::string& s, const std::string& prefix) {
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
// converted, a UTF-8 byte-order mark dropped.
std::string asUtf8(const std::string& raw) {
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF &&
        static_cast<unsigned char>(raw[1]) == 0xFE) {
        std::vector<std::uint8_t> data(raw.begin() + 2, raw.end());
        std::u16string units;
        for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
            units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
        }
        return utf16ToUtf8(units);
    }
    if (raw.rfind("\xEF\xBB\xBF", 0) == 0) {
        return raw.substr(3);
    }
    return raw;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// Reads a quoted string starting at s[pos] == '"'; pos ends after the closing quote.
bool readQuoted(const std::string& s, std::size_t& pos, std::string& out) {
    out.clear();
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) {
                return false;
            }
            c = s[++i];
        }
        out.push_back(c);
    }
    return false;
}

bool parseHexNumber(const std::string& s, std::uint32_t& out) {
    if (s.empty() || s.size() > 8) {
        return false;
    }
    out = 0;
    for (char c : s) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0) {
            return false;
        }
        out = (out << 4) | static_cast<std::uint32_t>(digit);
    }
    return true;
}

bool parseHexBytes(const std::string& list, std::vector<std::uint8_t>& out) {
    std::string compact;
    for (char c : list) {
        if (c != ' ' && c != '\t') {
            compact.push_back(c);
        }
    }
    out.clear();
    if (compact.empty()) {
        return true;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t comma = compact.find(',', start);
        std::string item =
            compact.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        std::uint32_t byte;
        if (item.size() > 2 || !parseHexNumber(item, byte)) {
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(byte));
        if (comma == std::string::npos) {
            return true;
        }
        start = comma + 1;
    }
}

class Parser {
public:
    Parser(const std::string& text, RegRoot root, RegHive& hive)
        : lines_(splitLines(asUtf8(text))), root_(root), hive_(hive) {}

    bool run(std::string& error) {
        bool headerSeen = false;
        for (index_ = 0; index_ < lines_.size(); ++index_) {
            std::size_t first = index_;  // errors name the line an entry starts on
            std::string line = trim(lines_[index_]);
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
                error = cformat("line %zu: %s", first + 1, error_.c_str());
                return false;
            }
        }
        return true;
    }

private:
    bool fail(const std::string& reason) {
        error_ = reason;
        return false;
    }

    bool keyLine(const std::string& line) {
        if (line.back() != ']') {
            return fail("a key name must end with ']'");
        }
        std::string inner = line.substr(1, line.size() - 2);
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

    bool valueLine(const std::string& line) {
        if (!inKey_) {
            return fail("value outside of a key");
        }
        std::string name;
        std::size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (line[0] != '"' || !readQuoted(line, pos, name)) {
            return fail("expected a quoted value name or @");
        }
        if (!validValueName(name)) {
            return fail("invalid value name");
        }
        std::string rest = trim(line.substr(pos));
        if (rest.empty() || rest[0] != '=') {
            return fail("expected '=' after the value name");
        }
        RegValue value;
        if (!valueData(trim(rest.substr(1)), value)) {
            return false;
        }
        hive_.set(key_, name, value);
        return true;
    }

    bool valueData(const std::string& data, RegValue& value) {
        if (!data.empty() && data[0] == '"') {
            std::size_t pos = 0;
            std::string text;
            if (!readQuoted(data, pos, text) || !trim(data.substr(pos)).empty()) {
                return fail("badly quoted text");
            }
            bool ok = true;
            std::u16string units = utf8ToUtf16(text, &ok);
            if (!ok) {
                return fail("text is not valid UTF-8");
            }
            value = RegValue{RegType::Sz, encodeRegSz(units)};
            return true;
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

    bool hexData(const std::string& data, RegValue& value) {
        std::size_t colon = data.find(':');
        if (colon == std::string::npos) {
            return fail("expected ':' after hex");
        }
        std::string kind = data.substr(0, colon);
        std::uint32_t type = static_cast<std::uint32_t>(RegType::Binary);
        if (kind.size() > 5 && kind[3] == '(' && kind.back() == ')') {
            if (!parseHexNumber(kind.substr(4, kind.size() - 5), type)) {
                return fail("bad type number in hex(...)");
            }
        } else if (kind.size() != 3) {
            return fail("unknown value type");
        }
        std::string list = data.substr(colon + 1);
        // A trailing backslash continues the list on the next line.
        while (!list.empty() && list.back() == '\\') {
            list.pop_back();
            if (index_ + 1 >= lines_.size()) {
                return fail("hex data continued past the end of the file");
            }
            list += trim(lines_[++index_]);
        }
        if (!parseHexBytes(list, value.data)) {
            return fail("bad hex byte list");
        }
        value.type = static_cast<RegType>(type);
        return true;
    }

    std::vector<std::string> lines_;
    std::size_t index_ = 0;
    RegRoot root_;
    RegHive& hive_;
    std::string key_;
    bool inKey_ = false;
    std::string error_;
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
    return Parser(text, root, hive).run(error);
}

}  // namespace wp2
