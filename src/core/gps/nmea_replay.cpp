// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/nmea_replay.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/gps/gps_decoder.h"

namespace wp2 {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Files are read in chunks of several blocks and handed on in blocks; a chunk
// this size still fits the processor's cache while the decoder reads it.
constexpr std::size_t kChunkSize = 16 * NmeaReplay::kBlockSize;

}  // namespace

void NmeaReplay::feedBlock(const unsigned char* bytes, std::size_t n) {
    decoder_.receiveBuffer().append(bytes, n);
    decoder_.decodePending();
}

void NmeaReplay::feed(const std::string& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t done = 0; done < bytes.size(); done += kBlockSize) {
        std::size_t n = bytes.size() - done < kBlockSize ? bytes.size() - done : kBlockSize;
        feedBlock(p + done, n);
    }
}

bool NmeaReplay::replayFile(const std::string& path, std::string& error, const Progress& progress) {
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    std::uint64_t total = 0;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        long size = std::ftell(file.get());
        total = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    }
    std::rewind(file.get());
    return replayStream(file.get(), total, error, progress);
}

bool NmeaReplay::replayStream(std::FILE* file, std::uint64_t total, std::string& error,
                              const Progress& progress) {
    // A file is read in large chunks; a pipe one block at a time, so that a
    // live log is decoded as it arrives.
    const bool seekable = std::ftell(file) >= 0;
    const std::size_t size = seekable ? kChunkSize : kBlockSize;
    const auto chunk = std::make_unique_for_overwrite<unsigned char[]>(size);
    std::uint64_t done = 0;
    for (;;) {
        std::size_t n = std::fread(chunk.get(), 1, size, file);
        if (n < size && std::ferror(file)) {
            error = std::strerror(errno ? errno : EIO);
            return false;
        }
        for (std::size_t at = 0; at < n; at += kBlockSize) {
            feedBlock(chunk.get() + at, n - at < kBlockSize ? n - at : kBlockSize);
        }
        done += n;
        if (progress && n > 0) {
            progress(done, total);
        }
        if (n < size) {
            return true;
        }
    }
}

}  // namespace wp2
