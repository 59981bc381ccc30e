// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/test_support.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include "core/base/paths.h"

namespace wp2::test {

namespace {
// A gpsd running on the machine stays out of the tests (and the programs they
// start) unless a test names one of its own.
[[maybe_unused]] const int kNoLocalGpsd = ::setenv("WAYPLOT2_GPSD", "", 0);
}  // namespace

MessageResult RecordingMessageBoxes::show(const std::string& text, const std::string& caption,
                                          MessageIcon icon, MessageButtons buttons) {
    shown.push_back({text, caption, icon, buttons});
    if (!answers.empty()) {
        MessageResult r = answers.front();
        answers.erase(answers.begin());
        return r;
    }
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
               ? MessageResult::Yes
               : MessageResult::Ok;
}

TempDir::TempDir(bool asRoot) : asRoot_(asRoot) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "wp2test-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = buf.data();
    if (asRoot_) {
        Paths::setRoot(path_);
    }
}

TempDir::~TempDir() {
    if (asRoot_) {
        Paths::reset();
    }
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<unsigned char> readBytes(const std::string& path) {
    std::string s = readFile(path);
    return std::vector<unsigned char>(s.begin(), s.end());
}

void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

bool fileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::string dataFile(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/" + name;
}

RunResult runProgram(const std::vector<std::string>& argv, const std::string& stdinText) {
    RunResult result;
    TempDir io;
    std::string inPath = io.file("in"), outPath = io.file("out"), errPath = io.file("err");
    writeFile(inPath, stdinText);
    pid_t pid = fork();
    if (pid == 0) {
        int in = open(inPath.c_str(), O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

std::vector<int> exitStatusesOf(int n, const std::function<int(int)>& body) {
    std::vector<pid_t> children;
    for (int i = 0; i < n; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            _exit(body(i));
        }
        children.push_back(pid);
    }
    std::vector<int> statuses;
    for (pid_t pid : children) {
        int status = 0;
        statuses.push_back(pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)
                               ? WEXITSTATUS(status)
                               : -1);
    }
    return statuses;
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(rng());
    }
    return bytes;
}

namespace {

bool writeText(const char* path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    return static_cast<bool>(out.flush());
}

// A private mount namespace for this (single-threaded, forked) process.
bool enterPrivateMounts() {
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !writeText("/proc/self/setgroups", "deny") ||
            !writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            return false;
        }
    }
    return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

}  // namespace

std::optional<std::string> inPrivateMounts(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return "pipe: " + std::string(std::strerror(errno));
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string result = enterPrivateMounts() ? body() : "\x01";
        if (::write(fds[1], result.data(), result.size()) < 0) {
            _exit(2);
        }
        _exit(0);
    }
    ::close(fds[1]);
    std::string result;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0) {
        result.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (result == "\x01") {
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return result + " (the child did not end normally)";
    }
    return result;
}

bool mountReadOnly(const std::string& folder) {
    return ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) ==
               0;
}

bool mountTmpfs(const std::string& folder, std::size_t bytes) {
    const std::string options = "size=" + std::to_string(bytes);
    return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

}  // namespace wp2::test
