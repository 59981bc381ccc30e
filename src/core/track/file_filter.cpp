// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/track/file_filter.h"

#include <cctype>

namespace wp2 {

namespace {

std::string trimmed(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) {
        ++b;
    }
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) {
        --e;
    }
    return s.substr(b, e - b);
}

std::vector<std::string> split(const std::string& s, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = s.find(separator, start);
        parts.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) {
            return parts;
        }
        start = at + 1;
    }
}

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string fileExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return path.substr(dot + 1);
}

}  // namespace

std::vector<FileFilter> parseFileFilter(const std::string& text) {
    const std::vector<std::string> parts = split(text, '|');
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) {
            break;  // the empty part that ends the list
        }
        FileFilter filter;
        filter.description = parts[i];
        for (const std::string& p : split(parts[i + 1], ';')) {
            std::string pattern = trimmed(p);
            if (!pattern.empty()) {
                filter.patterns.push_back(std::move(pattern));
            }
        }
        if (!filter.patterns.empty()) {
            filters.push_back(std::move(filter));
        }
    }
    return filters;
}

std::string patternExtension(const std::string& pattern) {
    if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0) {
        return {};
    }
    std::string ext = pattern.substr(2);
    if (ext.find_first_of("*?[]./\\") != std::string::npos) {
        return {};
    }
    return ext;
}

int filterIndexForFile(const std::vector<FileFilter>& filters, const std::string& path) {
    const std::string ext = fileExtension(path);
    if (ext.empty()) {
        return 0;
    }
    for (std::size_t i = 0; i < filters.size(); ++i) {
        for (const std::string& pattern : filters[i].patterns) {
            if (equalNoCase(patternExtension(pattern), ext)) {
                return static_cast<int>(i) + 1;
            }
        }
    }
    return 0;
}

}  // namespace wp2
