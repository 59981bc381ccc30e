// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/track/track_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <new>

#include "core/base/cformat.h"
#include "core/base/little_endian.h"
#include "core/track/track_log.h"

namespace wp2 {

namespace {

// Records are read in blocks of this many.
constexpr std::size_t kReadBlockRecords = 256;

void setProblem(std::string* problem, const std::string& text) {
    if (problem) {
        *problem = text;
    }
}

class OpenFile {
public:
    explicit OpenFile(const std::string& path) : f_(std::fopen(path.c_str(), "rb")) {}
    ~OpenFile() {
        if (f_) {
            std::fclose(f_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    std::FILE* get() const { return f_; }
    bool readExactly(std::uint8_t* out, std::size_t n) { return std::fread(out, 1, n, f_) == n; }
    // Size in bytes, or -1; leaves the position at the start.
    long long size() {
        if (std::fseek(f_, 0, SEEK_END) != 0) {
            return -1;
        }
        const long long n = std::ftell(f_);
        std::rewind(f_);
        return n;
    }

private:
    std::FILE* f_;
};

// The counters must describe the records the file holds; capacity may exceed
// count by at most one growth step, as in every track this program writes.
bool headerIsConsistent(const TrackFileImage& h, long long recordsInFile) {
    if (h.count < 0 || h.count > recordsInFile) {
        return false;
    }
    if (h.capacity < h.count || std::int64_t(h.capacity) - h.count > kTrackGrowth) {
        return false;
    }
    if (h.datedCount < 0 || h.datedCount > h.count) {
        return false;
    }
    if (h.lastDatedIndex < -1 || h.lastDatedIndex >= h.count) {
        return false;
    }
    if ((h.datedCount == 0) != (h.lastDatedIndex == -1)) {
        return false;
    }
    return h.datedCount <= h.lastDatedIndex + 1;
}

// Reads the header and counts the whole records the file holds after it.
bool readHeader(OpenFile& file, TrackFileImage& h, long long& records) {
    const long long size = file.size();
    std::uint8_t head[kTrackHeaderSizeV1];
    if (size < 0 || !file.readExactly(head, kTrackHeaderSize)) {
        return false;
    }
    h.version = fromLittleEndian<std::int32_t>(head);
    h.capacity = fromLittleEndian<std::int32_t>(head + 4);
    h.datedCount = fromLittleEndian<std::int32_t>(head + 8);
    h.lastDatedIndex = fromLittleEndian<std::int32_t>(head + 12);
    h.reserved = fromLittleEndian<std::int32_t>(head + 16);
    std::size_t headerSize = kTrackHeaderSize;
    if (h.version == 1) {
        if (!file.readExactly(head + kTrackHeaderSize, kTrackHeaderSizeV1 - kTrackHeaderSize)) {
            return false;
        }
        h.hasLegacy = true;
        h.legacyA = fromLittleEndian<double>(head + 20);
        h.legacyB = fromLittleEndian<double>(head + 28);
        headerSize = kTrackHeaderSizeV1;
    }
    h.count = fromLittleEndian<std::int32_t>(head + headerSize - 4);
    records =
        (size - static_cast<long long>(headerSize)) / static_cast<long long>(kTrackRecordSize);
    return true;
}

// Reads image.count records; false (and *problem) at the first that is cut
// short or impossible, image.count then the number of good records before it.
bool readRecords(OpenFile& file, TrackFileImage& image, std::string* problem) {
    std::uint8_t block[kReadBlockRecords * kTrackRecordSize];
    std::size_t done = 0;
    const auto total = static_cast<std::size_t>(image.count);
    while (done < total) {
        const std::size_t n = std::min(kReadBlockRecords, total - done);
        const std::size_t got = std::fread(block, 1, n * kTrackRecordSize, file.get());
        for (std::size_t i = 0; i < got / kTrackRecordSize; ++i) {
            TrackPoint p = TrackFile::decodeRecord(block + i * kTrackRecordSize);
            if (std::string bad = impossibleValue(p); !bad.empty()) {
                image.count = static_cast<std::int32_t>(done + i);
                setProblem(problem, cformat("point %zu: %s", done + i + 1, bad.c_str()));
                return false;
            }
            image.points[done + i] = p;
        }
        if (got != n * kTrackRecordSize) {
            image.count = static_cast<std::int32_t>(done + got / kTrackRecordSize);
            setProblem(problem, cformat("it ends in point %d of %zu", image.count + 1, total));
            return false;
        }
        done += n;
    }
    return true;
}

}  // namespace

std::optional<TrackFileImage> TrackFile::read(const std::string& path, std::string* problem) {
    setProblem(problem, "");
    OpenFile file(path);
    if (!file.get()) {
        return std::nullopt;
    }
    TrackFileImage image;
    long long records = 0;
    if (!readHeader(file, image, records)) {
        setProblem(problem, "its header is cut short");
        return std::nullopt;
    }
    if (!headerIsConsistent(image, records)) {
        setProblem(problem, image.count > records
                                ? cformat("it ends in point %lld of %d", records + 1, image.count)
                                : std::string("its header does not describe its points"));
        return std::nullopt;
    }
    try {
        image.points.resize(static_cast<std::size_t>(image.capacity));
    } catch (const std::bad_alloc&) {
        setProblem(problem, "not enough memory");
        return std::nullopt;
    }
    if (!readRecords(file, image, problem)) {
        return std::nullopt;
    }
    return image;
}

std::optional<TrackFileImage> TrackFile::salvage(const std::string& path) {
    OpenFile file(path);
    if (!file.get()) {
        return std::nullopt;
    }
    TrackFileImage image;
    long long records = 0;
    if (!readHeader(file, image, records)) {
        return TrackFileImage{};
    }
    if (image.count < 0 || image.count > records) {
        image.count =
            static_cast<std::int32_t>(std::min<long long>(records, INT32_MAX - kTrackGrowth));
    }
    try {
        image.points.resize(static_cast<std::size_t>(image.count));
    } catch (const std::bad_alloc&) {
        return TrackFileImage{};
    }
    readRecords(file, image, nullptr);
    image.points.resize(static_cast<std::size_t>(image.count));
    image.capacity = image.count + kTrackGrowth;
    image.points.resize(static_cast<std::size_t>(image.capacity));
    image.datedCount = 0;
    image.lastDatedIndex = -1;
    for (std::int32_t i = 0; i < image.count; ++i) {
        if (!(image.points[static_cast<std::size_t>(i)].state & TrackPointState::NoDate)) {
            ++image.datedCount;
            image.lastDatedIndex = i;
        }
    }
    return image;
}

std::array<std::uint8_t, kTrackHeaderSize> TrackFile::encodeHeader(std::int32_t capacity,
                                                                   std::int32_t datedCount,
                                                                   std::int32_t lastDatedIndex,
                                                                   std::int32_t reserved,
                                                                   std::int32_t count) {
    std::array<std::uint8_t, kTrackHeaderSize> bytes{};
    toLittleEndian<std::int32_t>(kTrackFileVersion, &bytes[0]);
    toLittleEndian<std::int32_t>(capacity, &bytes[4]);
    toLittleEndian<std::int32_t>(datedCount, &bytes[8]);
    toLittleEndian<std::int32_t>(lastDatedIndex, &bytes[12]);
    toLittleEndian<std::int32_t>(reserved, &bytes[16]);
    toLittleEndian<std::int32_t>(count < 0 ? 0 : count, &bytes[20]);
    return bytes;
}

std::vector<std::uint8_t> TrackFile::encode(std::int32_t capacity, std::int32_t datedCount,
                                            std::int32_t lastDatedIndex, std::int32_t reserved,
                                            const TrackPoint* points, std::int32_t count) {
    const auto n = static_cast<std::size_t>(count < 0 ? 0 : count);
    std::vector<std::uint8_t> bytes(kTrackHeaderSize + n * kTrackRecordSize);
    const auto header = encodeHeader(capacity, datedCount, lastDatedIndex, reserved, count);
    std::copy(header.begin(), header.end(), bytes.begin());
    for (std::size_t i = 0; i < n; ++i) {
        encodeRecord(points[i], &bytes[kTrackHeaderSize + i * kTrackRecordSize]);
    }
    return bytes;
}

void TrackFile::encodeRecord(const TrackPoint& p, std::uint8_t* out) {
    toLittleEndian(p.latitude, out + 0);
    toLittleEndian(p.longitude, out + 8);
    toLittleEndian(p.altitude, out + 16);
    out[24] = p.time.year;
    out[25] = p.time.month;
    out[26] = p.time.day;
    out[27] = p.time.hour;
    out[28] = p.time.minute;
    toLittleEndian(p.time.seconds, out + 29);
    toLittleEndian(p.speed, out + 37);
    toLittleEndian(p.course, out + 45);
    toLittleEndian(p.dop, out + 53);
    out[61] = static_cast<std::uint8_t>(p.state);
    out[62] = static_cast<std::uint8_t>(p.state >> 8);
    out[63] = p.satellites;
}

TrackPoint TrackFile::decodeRecord(const std::uint8_t* in) {
    TrackPoint p;
    p.latitude = fromLittleEndian<double>(in + 0);
    p.longitude = fromLittleEndian<double>(in + 8);
    p.altitude = fromLittleEndian<double>(in + 16);
    p.time.year = in[24];
    p.time.month = in[25];
    p.time.day = in[26];
    p.time.hour = in[27];
    p.time.minute = in[28];
    p.time.seconds = fromLittleEndian<double>(in + 29);
    p.speed = fromLittleEndian<double>(in + 37);
    p.course = fromLittleEndian<double>(in + 45);
    p.dop = fromLittleEndian<double>(in + 53);
    p.state = std::uint32_t(in[61]) | std::uint32_t(in[62]) << 8;
    p.satellites = in[63];
    return p;
}

}  // namespace wp2
