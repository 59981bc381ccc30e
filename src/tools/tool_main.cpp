// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool: the command-line companion of Wayplot2; with the command
// table of map_program.cpp, also the map program that the tool executes.
// Reads the program's options, finds the command's entry in the table, checks
// the command line against it and runs it; prints the usage and help texts
// the table describes.

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/base/paths.h"
#include "tools/tool_command.h"
#include "wayplot2_version.h"

namespace wp2::tool {

namespace {

std::vector<std::string> givenOptions;

constexpr const char* kProgramUsage = "wayplot2-tool [--root DIR]";

std::string firstWord(const char* words) {
    const char* space = std::strchr(words, ' ');
    return space ? std::string(words, space) : std::string(words);
}

// The sub-command word of an entry, "" for a command without any.
std::string subWord(const Command& c) {
    const char* space = std::strchr(c.words, ' ');
    return space ? std::string(space + 1) : std::string();
}

template <typename F>
void forEachOption(const Command& c, F f) {
    for (const Option& o : c.options) {
        if (!o.name) {
            break;
        }
        f(o);
    }
}

std::string usageLine(const Command& c) {
    std::string line = c.words;
    forEachOption(c, [&](const Option& o) {
        std::string text = o.name;
        if (o.value) {
            text += std::string(" ") + o.value;
        }
        line += o.required ? " " + text : " [" + text + "]";
    });
    if (*c.arguments) {
        line += std::string(" ") + c.arguments;
    }
    return line;
}

// The entries of a command: every entry whose first word is `name`.
std::vector<const Command*> entriesOf(const std::string& name) {
    std::vector<const Command*> found;
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        if (firstWord(kCommands[i].words) == name) {
            found.push_back(&kCommands[i]);
        }
    }
    return found;
}

void printUsage(const std::vector<const Command*>& entries, std::FILE* out) {
    const char* lead = "usage:";
    for (const Command* c : entries) {
        std::fprintf(out, "%s %s %s\n", lead, kProgramUsage, usageLine(*c).c_str());
        lead = "      ";
    }
}

void printCommandHelp(const Command& c, std::FILE* out) {
    printUsage({&c}, out);
    std::fprintf(out, "\n%s\n\nOptions:\n", c.summary);
    std::vector<std::pair<std::string, const char*>> rows;
    forEachOption(c, [&](const Option& o) {
        rows.emplace_back(std::string(o.name) + (o.value ? std::string(" ") + o.value : ""),
                          o.help);
    });
    rows.emplace_back("-h, --help", "show this text");
    std::size_t width = 0;
    for (const auto& row : rows) {
        width = std::max(width, row.first.size());
    }
    for (const auto& [left, help] : rows) {
        std::fprintf(out, "  %-*s  %s\n", static_cast<int>(width), left.c_str(), help);
    }
}

void printGroupHelp(const std::vector<const Command*>& entries, std::FILE* out) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::fputs(i ? "\n" : "", out);
        printCommandHelp(*entries[i], out);
    }
}

void printHelp(std::FILE* out) {
    std::fprintf(out,
                 "usage: %s COMMAND [ARGS...]\n"
                 "\n"
                 "Options:\n"
                 "  --root DIR   keep every file of the program (settings, documents) under DIR\n"
                 "  --version    print the version and exit (as the version command)\n"
                 "  -h, --help   show this text; COMMAND --help shows a command's own\n"
                 "\n"
                 "Exit status: 0 done, 1 the work failed, 2 the command line was not understood.\n"
                 "\n"
                 "Commands:\n",
                 kProgramUsage);
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        std::fprintf(out, "  %s\n", usageLine(kCommands[i]).c_str());
    }
}

bool isHelp(const std::string& word) {
    return word == "--help" || word == "-h";
}

// "--name", "--name=value" and "-x" are options; "-", "--" and negative
// numbers ("-5", "-33.8,151.2") are not.
bool looksLikeOption(const std::string& word) {
    return word.size() > 1 && word[0] == '-' &&
           (std::isalpha(static_cast<unsigned char>(word[1])) ||
            (word[1] == '-' && word.size() > 2));
}

const Option* findOption(const Command& c, const std::string& name) {
    const Option* found = nullptr;
    forEachOption(c, [&](const Option& o) {
        if (name == o.name) {
            found = &o;
        }
    });
    return found;
}

// A value of lower-case words separated by "|" lists the values allowed.
bool valueAllowed(const char* choices, const std::string& value) {
    for (const char* p = choices; *p; ++p) {
        if (!std::islower(static_cast<unsigned char>(*p)) && *p != '|' && *p != '-') {
            return true;
        }
    }
    std::string words = std::string("|") + choices + "|";
    return !value.empty() && value.find('|') == std::string::npos &&
           words.find("|" + value + "|") != std::string::npos;
}

// How many plain arguments the entry takes: "[X]" may be left out, "X..."
// may repeat.
void argumentRange(const Command& c, std::size_t& least, std::size_t& most) {
    least = most = 0;
    const std::string text = c.arguments;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        end = end == std::string::npos ? text.size() : end;
        const std::string word = text.substr(at, end - at);
        least += word[0] == '[' ? 0 : 1;
        most = word.ends_with("...") || most == SIZE_MAX ? SIZE_MAX : most + 1;
        at = end + 1;
    }
}

int commandLineError(const std::vector<const Command*>& entries, const std::string& message) {
    if (!message.empty()) {
        std::fprintf(stderr, "wayplot2-tool: %s\n", message.c_str());
    }
    printUsage(entries, stderr);
    return kExitUsage;
}

// Checks the words after the command's against its entry and runs it.
int runEntry(const Command& c, const std::vector<std::string>& words) {
    Invocation call{c, {}, {}};
    bool optionsDone = false;
    for (const std::string& w : words) {
        if (w == "--") {
            break;
        }
        if (isHelp(w)) {
            printCommandHelp(c, stdout);
            return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
        }
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (!optionsDone && w == "--") {
            optionsDone = true;
            continue;
        }
        if (optionsDone || !looksLikeOption(w)) {
            call.arguments.push_back(w);
            continue;
        }
        const std::size_t equals = w.find('=');
        const std::string name = w.substr(0, equals);
        const Option* option = findOption(c, name);
        if (!option) {
            return commandLineError({&c}, "unknown option '" + name + "'");
        }
        if (!option->value) {
            if (equals != std::string::npos) {
                return commandLineError({&c}, name + " takes no value");
            }
            call.options.emplace_back(name, "");
            continue;
        }
        if (equals == std::string::npos && i + 1 >= words.size()) {
            return commandLineError({&c}, name + " needs a value");
        }
        const std::string value = equals == std::string::npos ? words[++i] : w.substr(equals + 1);
        if (!valueAllowed(option->value, value)) {
            return commandLineError({&c}, name + ": bad value '" + value + "'");
        }
        call.options.emplace_back(name, value);
    }
    std::size_t least = 0;
    std::size_t most = 0;
    argumentRange(c, least, most);
    bool missing = false;
    forEachOption(c,
                  [&](const Option& o) { missing = missing || (o.required && !call.has(o.name)); });
    if (call.arguments.size() < least || call.arguments.size() > most || missing) {
        return usageError(call);
    }
    return c.run(call);
}

// Runs the command whose words begin `words`.
int runCommand(const std::vector<std::string>& words) {
    const std::vector<const Command*> entries = entriesOf(words[0]);
    if (entries.empty()) {
        std::fprintf(stderr, "wayplot2-tool: unknown command '%s'\n", words[0].c_str());
        printHelp(stderr);
        return kExitUsage;
    }
    std::vector<std::string> rest(words.begin() + 1, words.end());
    if (subWord(*entries[0]).empty()) {
        return runEntry(*entries[0], rest);
    }
    // The sub-command is the first plain word; options of the command's
    // entries may come before it ("settings --key PATH list").
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (isHelp(rest[i])) {
            printGroupHelp(entries, stdout);
            return kExitOk;
        }
        if (looksLikeOption(rest[i])) {
            const Option* option = nullptr;
            for (const Command* c : entries) {
                option = option ? option : findOption(*c, rest[i]);
            }
            i += option && option->value ? 1 : 0;
            continue;
        }
        for (const Command* c : entries) {
            if (subWord(*c) == rest[i]) {
                rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i));
                return runEntry(*c, rest);
            }
        }
        return commandLineError(entries, "unknown command '" + words[0] + " " + rest[i] + "'");
    }
    return commandLineError(entries, "");
}

}  // namespace

bool Invocation::has(const char* name) const {
    for (const auto& option : options) {
        if (option.first == name) {
            return true;
        }
    }
    return false;
}

std::string Invocation::value(const char* name) const {
    std::string found;
    for (const auto& option : options) {
        if (option.first == name) {
            found = option.second;
        }
    }
    return found;
}

int usageError(const Invocation& call) {
    printUsage({&call.command}, stderr);
    return kExitUsage;
}

// help [COMMAND [SUB-COMMAND]]
int runHelp(const Invocation& call) {
    if (call.arguments.empty()) {
        printHelp(stdout);
        return kExitOk;
    }
    const std::vector<const Command*> entries = entriesOf(call.arguments[0]);
    for (const Command* c : entries) {
        if (call.arguments.size() == 2 && subWord(*c) == call.arguments[1]) {
            printCommandHelp(*c, stdout);
            return kExitOk;
        }
    }
    if (entries.empty() || call.arguments.size() == 2) {
        std::string name = call.arguments[0];
        name += call.arguments.size() == 2 ? " " + call.arguments[1] : "";
        std::fprintf(stderr, "wayplot2-tool: unknown command '%s'\n", name.c_str());
        return usageError(call);
    }
    printGroupHelp(entries, stdout);
    return kExitOk;
}

int runVersion(const Invocation&) {
    std::puts("wayplot2-tool " WAYPLOT2_VERSION);
    return kExitOk;
}

bool writeTerminalText(const std::string& text, std::FILE* stream) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    std::fwrite(out.data(), 1, out.size(), stream);
    return std::fflush(stream) == 0 && !std::ferror(stream);
}

const std::vector<std::string>& globalOptions() {
    return givenOptions;
}

}  // namespace wp2::tool

int main(int argc, char** argv) {
    using namespace wp2::tool;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::size_t i = 0;
    while (i < args.size() && looksLikeOption(args[i])) {
        if (isHelp(args[i])) {
            printHelp(stdout);
            return kExitOk;
        }
        if (args[i] == "--version") {
            std::puts("wayplot2-tool " WAYPLOT2_VERSION);
            return kExitOk;
        }
        if (args[i] == "--root" && i + 1 < args.size()) {
            wp2::Paths::setRoot(args[i + 1]);
            givenOptions.insert(givenOptions.end(), {args[i], args[i + 1]});
            i += 2;
            continue;
        }
        std::fprintf(stderr, "wayplot2-tool: %s '%s'\n",
                     args[i] == "--root" ? "a folder must follow" : "unknown option",
                     args[i].c_str());
        printHelp(stderr);
        return kExitUsage;
    }
    if (i >= args.size()) {
        printHelp(stderr);
        return kExitUsage;
    }
    return runCommand(std::vector<std::string>(args.begin() + static_cast<long>(i), args.end()));
}
