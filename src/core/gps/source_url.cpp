// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/source_url.h"

#include <cstdlib>

namespace wp2 {

namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool parsePort(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    port = std::atoi(text.c_str());
    return port >= 1 && port <= 65535;
}

// "host", "host:port", "[v6]" or "[v6]:port"; port stays as given when absent.
bool parseHostPort(const std::string& text, std::string& host, int& port) {
    std::string rest;
    if (!text.empty() && text[0] == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string::npos) {
            return false;
        }
        host = text.substr(1, close - 1);
        rest = text.substr(close + 1);
    } else {
        const std::size_t colon = text.find(':');
        host = text.substr(0, colon);
        rest = colon == std::string::npos ? std::string() : text.substr(colon);
    }
    if (!rest.empty() && (rest[0] != ':' || !parsePort(rest.substr(1), port))) {
        return false;
    }
    return !host.empty() && host.find_first_of("/ \t") == std::string::npos;
}

}  // namespace

std::string SourceAddress::hostPort() const {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string SourceAddress::text() const {
    switch (kind) {
        case Kind::Gpsd:
            return kGpsdScheme + hostPort();
        case Kind::Tcp:
            return kTcpScheme + hostPort();
        case Kind::Serial:
            break;
    }
    return device;
}

bool parseSource(const std::string& text, SourceAddress& out) {
    SourceAddress a;
    if (startsWith(text, kGpsdScheme)) {
        a.kind = SourceAddress::Kind::Gpsd;
        a.port = kGpsdDefaultPort;
        std::string rest = text.substr(std::string(kGpsdScheme).size());
        if (!rest.empty() && rest.back() == '/') {
            rest.pop_back();
        }
        if (rest.empty()) {
            rest = kGpsdDefaultHost;
        }
        if (!parseHostPort(rest, a.host, a.port)) {
            return false;
        }
    } else if (startsWith(text, kTcpScheme)) {
        a.kind = SourceAddress::Kind::Tcp;
        if (!parseHostPort(text.substr(std::string(kTcpScheme).size()), a.host, a.port) ||
            a.port == 0) {
            return false;
        }
    } else {
        a.device = text;
    }
    out = a;
    return true;
}

bool isNetworkSource(const std::string& text) {
    return startsWith(text, kGpsdScheme) || startsWith(text, kTcpScheme);
}

std::string localGpsdAddress() {
    if (const char* env = std::getenv("WAYPLOT2_GPSD")) {
        return env;
    }
    return std::string(kGpsdDefaultHost) + ":" + std::to_string(kGpsdDefaultPort);
}

}  // namespace wp2
