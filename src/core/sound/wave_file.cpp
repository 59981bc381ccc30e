// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound/wave_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/base/little_endian.h"

namespace wp2 {

namespace {

// Enough for any header this program meets; chunks beyond it are not searched.
constexpr std::size_t kHeaderBytes = 64 * 1024;
constexpr int kExtensible = 0xFFFE;

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

bool playable(const WaveFormat& f) {
    bool bitsOk = f.encoding == WaveFormat::kPcm
                      ? (f.bitsPerSample == 8 || f.bitsPerSample == 16 || f.bitsPerSample == 24 ||
                         f.bitsPerSample == 32)
                      : (f.encoding == WaveFormat::kFloat && f.bitsPerSample == 32);
    return bitsOk && f.channels >= 1 && f.channels <= 8 && f.sampleRate >= 1000 &&
           f.sampleRate <= 384000 && f.blockAlign == f.channels * f.bitsPerSample / 8;
}

// The "fmt " chunk body of `length` bytes; false when it is too short.
bool readFormatChunk(const std::uint8_t* f, std::uint64_t length, WaveFormat& format) {
    format.encoding = fromLittleEndian<std::uint16_t>(f);
    format.channels = fromLittleEndian<std::uint16_t>(f + 2);
    format.sampleRate = static_cast<int>(fromLittleEndian<std::uint32_t>(f + 4) & 0x7FFFFFFF);
    format.blockAlign = fromLittleEndian<std::uint16_t>(f + 12);
    format.bitsPerSample = fromLittleEndian<std::uint16_t>(f + 14);
    if (format.encoding == kExtensible) {
        // The real encoding is the first two bytes of the sub-format GUID.
        if (length < 40) {
            return false;
        }
        format.encoding = fromLittleEndian<std::uint16_t>(f + 24);
    }
    return true;
}

}  // namespace

std::optional<WaveFormat> parseWaveHeader(const std::uint8_t* data, std::size_t size,
                                          std::uint64_t fileSize) {
    if (size > fileSize || size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    WaveFormat format;
    bool haveFormat = false;
    std::uint64_t pos = 12;
    while (pos + 8 <= size) {
        const std::uint8_t* chunk = data + pos;
        const std::uint64_t length = fromLittleEndian<std::uint32_t>(chunk + 4);
        const std::uint64_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            std::uint64_t needed = std::min<std::uint64_t>(length, 40);
            if (length < 16 || body + needed > size ||
                !readFormatChunk(data + body, length, format)) {
                return std::nullopt;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || !playable(format)) {
                return std::nullopt;
            }
            const std::uint64_t present = std::min(length, fileSize - body);
            format.dataOffset = body;
            format.dataBytes = present - present % static_cast<std::uint64_t>(format.blockAlign);
            return format;
        }
        // Chunks are padded to an even length.
        pos = body + length + (length & 1);
    }
    return std::nullopt;
}

namespace {

struct OpenFile {
    std::FILE* f = nullptr;
    ~OpenFile() {
        if (f) {
            std::fclose(f);
        }
    }
};

std::optional<WaveFormat> readFormat(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) {
        return std::nullopt;
    }
    long end = std::ftell(f);
    if (end <= 0 || std::fseek(f, 0, SEEK_SET) != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> head(
        std::min<std::size_t>(kHeaderBytes, static_cast<std::size_t>(end)));
    if (std::fread(head.data(), 1, head.size(), f) != head.size()) {
        return std::nullopt;
    }
    return parseWaveHeader(head.data(), head.size(), static_cast<std::uint64_t>(end));
}

}  // namespace

std::optional<WaveFormat> readWaveFormat(const std::string& path) {
    OpenFile file{std::fopen(path.c_str(), "rb")};
    return file.f ? readFormat(file.f) : std::nullopt;
}

std::optional<WaveSound> loadWaveFile(const std::string& path, std::uint64_t maxDataBytes) {
    OpenFile file{std::fopen(path.c_str(), "rb")};
    if (!file.f) {
        return std::nullopt;
    }
    std::optional<WaveFormat> format = readFormat(file.f);
    if (!format || format->dataBytes == 0 || format->dataBytes > maxDataBytes ||
        std::fseek(file.f, static_cast<long>(format->dataOffset), SEEK_SET) != 0) {
        return std::nullopt;
    }
    WaveSound sound{*format, std::vector<std::uint8_t>(format->dataBytes)};
    if (std::fread(sound.samples.data(), 1, sound.samples.size(), file.f) != sound.samples.size()) {
        return std::nullopt;
    }
    return sound;
}

std::vector<std::uint8_t> widen24To32(const std::vector<std::uint8_t>& samples) {
    std::vector<std::uint8_t> out;
    out.reserve(samples.size() / 3 * 4);
    for (std::size_t i = 0; i + 3 <= samples.size(); i += 3) {
        out.push_back(0);
        out.insert(out.end(), samples.begin() + static_cast<std::ptrdiff_t>(i),
                   samples.begin() + static_cast<std::ptrdiff_t>(i + 3));
    }
    return out;
}

std::vector<std::uint8_t> encodeWave(const std::vector<std::int16_t>& samples, int sampleRate) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    appendLittleEndian<std::uint32_t>(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    appendLittleEndian<std::uint32_t>(out, 16);
    appendLittleEndian<std::uint16_t>(out, WaveFormat::kPcm);
    appendLittleEndian<std::uint16_t>(out, 1);  // mono
    appendLittleEndian<std::uint32_t>(out, static_cast<std::uint32_t>(sampleRate));
    appendLittleEndian<std::uint32_t>(
        out, static_cast<std::uint32_t>(sampleRate) * 2);  // bytes per second
    appendLittleEndian<std::uint16_t>(out, 2);             // block align
    appendLittleEndian<std::uint16_t>(out, 16);            // bits per sample
    putTag(out, "data");
    appendLittleEndian<std::uint32_t>(out, dataBytes);
    for (std::int16_t s : samples) {
        appendLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(s));
    }
    return out;
}

bool writeWaveFile(const std::string& path, const std::vector<std::int16_t>& samples,
                   int sampleRate) {
    std::vector<std::uint8_t> bytes = encodeWave(samples, sampleRate);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace wp2
