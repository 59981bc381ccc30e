// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RIFF wave files: reading the format and length of one, and writing mono
// 16-bit PCM ones.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wp2 {

struct WaveFormat {
    static constexpr int kPcm = 1;
    static constexpr int kFloat = 3;

    int encoding = 0;  // kPcm (8, 16, 24 or 32 bits) or kFloat (32 bits)
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;
    std::uint64_t dataOffset = 0;  // where the samples start in the file
    std::uint64_t dataBytes = 0;   // whole frames of samples actually present in the file

    std::uint64_t frames() const { return dataBytes / static_cast<std::uint64_t>(blockAlign); }
    double durationMs() const { return static_cast<double>(frames()) * 1000.0 / sampleRate; }
};

// Reads the format from the start of a wave file. `data` holds the first
// `size` bytes of a file of `fileSize` bytes; the "fmt " chunk and the header
// of the "data" chunk must lie within them. A data chunk longer than the rest
// of the file counts only what is there. Nothing when the bytes are not a
// wave file this program can play (PCM of 8 to 32 bits or 32-bit float, in
// the plain or the extensible header, 1 to 8 channels).
std::optional<WaveFormat> parseWaveHeader(const std::uint8_t* data, std::size_t size,
                                          std::uint64_t fileSize);
std::optional<WaveFormat> readWaveFormat(const std::string& path);

struct WaveSound {
    WaveFormat format;
    std::vector<std::uint8_t> samples;  // format.dataBytes bytes as stored in the file
};

// Reads a wave file whole. Nothing when it is not playable (as above), has no
// samples, or holds more than maxDataBytes of them.
std::optional<WaveSound> loadWaveFile(const std::string& path, std::uint64_t maxDataBytes);

// 24-bit samples (3 bytes, little-endian) widened to 32-bit ones with the
// same value in the upper bits, for players that know no 24-bit format.
std::vector<std::uint8_t> widen24To32(const std::vector<std::uint8_t>& samples);

// The bytes of a mono 16-bit PCM wave file holding the samples.
std::vector<std::uint8_t> encodeWave(const std::vector<std::int16_t>& samples, int sampleRate);
// Writes encodeWave() to path; true when the whole file was written.
bool writeWaveFile(const std::string& path, const std::vector<std::int16_t>& samples,
                   int sampleRate);

}  // namespace wp2
