// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte layout of the pushpin file: little-endian numbers, IEEE 754
// doubles, and length-prefixed texts that are either 16-bit (marked by the
// bytes FF FE FF) or 8-bit. The reader takes a stream through a buffer, or
// bytes held in memory (where it can also go back and forth); the writer
// writes to a stream or appends to memory.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/waypoints/pushpin.h"

namespace wp2 {

class PushpinArchiveReader {
public:
    // Impossible: a record holds what no saved pushpin can (a position out
    // of range, a number that is not finite, a text of absurd length).
    enum class Status { Ok, EndOfData, ReadError, Impossible };

    explicit PushpinArchiveReader(std::FILE* file) : file_(file) {}
    // Reads bytes held in memory, which outlive the reader; seek works on them.
    PushpinArchiveReader(const std::uint8_t* data, std::size_t size) : data_(data), end_(size) {}

    bool readU8(std::uint8_t& v);
    bool readU32(std::uint32_t& v);
    bool readI32(std::int32_t& v);
    bool readDouble(double& v);
    // One record into the pushpin (icon, reserved, name, note, position,
    // course, speed, dop, state, satellites, time), its texts made UTF-8. False
    // when the data ends or fails inside it, or the record is impossible (a
    // text with half of a surrogate pair alone is, as UTF-8 cannot hold it);
    // the pushpin may then be partly filled.
    bool readRecord(Pushpin& pushpin);
    // True when no byte is left.
    bool atEnd();
    // Bytes read so far (from the start of the memory, or of the file where
    // the reader began).
    std::size_t offset() const { return before_ + pos_; }
    // Memory only: reading goes on at the offset, with the status cleared.
    void seek(std::size_t offset);

    // Why the last read failed, and for Impossible what was wrong.
    Status status() const { return status_; }
    std::string problem() const;

private:
    // The usual case, all of it in the buffer, stays small enough to inline.
    bool readBytes(void* out, std::size_t n) {
        if (n > end_ - pos_) {
            return readBytesAcross(out, n);
        }
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
        return true;
    }
    bool readBytesAcross(void* out, std::size_t n);
    bool readU16(std::uint16_t& v);
    bool readLength(std::uint32_t& length, bool& wide);
    // A text field, 8-bit texts widened. Memory grows only with the bytes
    // actually present, whatever length the field claims.
    bool readText(std::u16string& text);
    // The text as UTF-8 into `out`; the first character no pushpin can hold
    // (0 when none).
    static char32_t storedText(const std::u16string& text, std::string& out);
    bool fill();

    std::FILE* file_ = nullptr;
    std::array<unsigned char, 64 * 1024> buffer_;
    // The bytes being read: buffer_ for a file, else the caller's memory.
    const unsigned char* data_ = buffer_.data();
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::size_t before_ = 0;  // file bytes read before those in the buffer
    Status status_ = Status::Ok;
    std::string problem_;
    // Impossible with no problem_: a text held this character (the text is
    // only made when asked for, as a search through damage meets many).
    char32_t badCharacter_ = 0;
    // The texts of the record being read, as stored.
    std::u16string name_;
    std::u16string note_;
};

// The fewest bytes one record can take (two empty 8-bit texts).
inline constexpr std::size_t kMinPushpinRecordSize = 79;
// No pushpin text is longer; a longer length is damage.
inline constexpr std::uint32_t kMaxPushpinTextLength = 1u << 20;

class PushpinArchiveWriter {
public:
    explicit PushpinArchiveWriter(std::FILE* file) : file_(file) {}
    // Appends to `bytes` instead of writing to a stream.
    explicit PushpinArchiveWriter(std::vector<std::uint8_t>& bytes) : bytes_(&bytes) {}

    void writeU8(std::uint8_t v);
    void writeU32(std::uint32_t v);
    void writeI32(std::int32_t v) { writeU32(static_cast<std::uint32_t>(v)); }
    void writeDouble(double v);
    // Always the 16-bit form: FF FE FF, the length (1, 3 or 7 bytes), UTF-16LE.
    void writeText(std::string_view utf8);
    void writeRecord(const Pushpin& pushpin);

    // Writes out what is buffered; false when any write failed.
    bool flush();
    bool failed() const { return failed_; }

    // The most bytes writeRecord writes for the pushpin.
    static std::size_t recordSizeLimit(const Pushpin& pushpin);

private:
    void writeBytes(const void* data, std::size_t n) {
        if (n > buffer_.size() - used_) {
            writeBytesAcross(data, n);
            return;
        }
        std::memcpy(buffer_.data() + used_, data, n);
        used_ += n;
    }
    void writeBytesAcross(const void* data, std::size_t n);
    void writeU16(std::uint16_t v);

    std::FILE* file_ = nullptr;
    std::vector<std::uint8_t>* bytes_ = nullptr;
    std::array<unsigned char, 64 * 1024> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
    std::u16string text_;  // the text being written, as UTF-16
};

}  // namespace wp2
