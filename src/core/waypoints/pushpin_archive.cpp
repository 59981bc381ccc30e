// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin_archive.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/base/cformat.h"
#include "core/base/little_endian.h"
#include "core/base/utf.h"

namespace wp2 {

namespace {

// The 16-bit value after a 0xFF length byte that marks 16-bit characters.
constexpr std::uint16_t kWideMarker = 0xFFFE;
// Texts are read in pieces of this many characters, so that a damaged length
// cannot make the reader reserve more than the file holds.
constexpr std::uint32_t kTextChunk = 16384;

}  // namespace

bool PushpinArchiveReader::fill() {
    if (status_ != Status::Ok) {
        return false;
    }
    if (!file_) {
        status_ = Status::EndOfData;
        return false;
    }
    before_ += end_;
    pos_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (end_ == 0) {
        status_ = std::ferror(file_) ? Status::ReadError : Status::EndOfData;
        return false;
    }
    return true;
}

bool PushpinArchiveReader::readBytesAcross(void* out, std::size_t n) {
    auto* dst = static_cast<unsigned char*>(out);
    while (n > 0) {
        if (pos_ == end_ && !fill()) {
            return false;
        }
        std::size_t take = std::min(n, end_ - pos_);
        std::memcpy(dst, data_ + pos_, take);
        pos_ += take;
        dst += take;
        n -= take;
    }
    return true;
}

bool PushpinArchiveReader::readU8(std::uint8_t& v) {
    return readBytes(&v, 1);
}

bool PushpinArchiveReader::readU16(std::uint16_t& v) {
    unsigned char b[2];
    if (!readBytes(b, 2)) {
        return false;
    }
    v = fromLittleEndian<std::uint16_t>(b);
    return true;
}

bool PushpinArchiveReader::readU32(std::uint32_t& v) {
    unsigned char b[4];
    if (!readBytes(b, 4)) {
        return false;
    }
    v = fromLittleEndian<std::uint32_t>(b);
    return true;
}

bool PushpinArchiveReader::readI32(std::int32_t& v) {
    std::uint32_t u = 0;
    if (!readU32(u)) {
        return false;
    }
    v = static_cast<std::int32_t>(u);
    return true;
}

bool PushpinArchiveReader::readDouble(double& v) {
    unsigned char b[8];
    if (!readBytes(b, 8)) {
        return false;
    }
    v = fromLittleEndian<double>(b);
    return true;
}

// Length: one byte below 0xFF; else 0xFF and a 16-bit length below 0xFFFF;
// else 0xFF, 0xFFFF and a 32-bit length. 0xFF 0xFFFE before the length marks
// 16-bit characters.
bool PushpinArchiveReader::readLength(std::uint32_t& length, bool& wide) {
    wide = false;
    std::uint8_t b = 0;
    if (!readU8(b)) {
        return false;
    }
    if (b < 0xFF) {
        length = b;
        return true;
    }
    std::uint16_t w = 0;
    if (!readU16(w)) {
        return false;
    }
    if (w == kWideMarker) {
        wide = true;
        if (!readU8(b)) {
            return false;
        }
        if (b < 0xFF) {
            length = b;
            return true;
        }
        if (!readU16(w)) {
            return false;
        }
    }
    if (w < 0xFFFF) {
        length = w;
        return true;
    }
    std::uint32_t d = 0;
    if (!readU32(d)) {
        return false;
    }
    length = d;
    return true;
}

std::string PushpinArchiveReader::problem() const {
    return problem_.empty() && status_ == Status::Impossible ? characterText(badCharacter_)
                                                             : problem_;
}

bool PushpinArchiveReader::readText(std::u16string& text) {
    std::uint32_t length = 0;
    bool wide = false;
    if (!readLength(length, wide)) {
        return false;
    }
    if (length > kMaxPushpinTextLength) {
        status_ = Status::Impossible;
        problem_ = "a text of " + std::to_string(length) + " characters";
        return false;
    }
    text.clear();
    // Grows piece by piece with what is actually read, so that a damaged
    // length cannot make the reader reserve more than the file holds.
    std::uint32_t left = length;
    while (left > 0) {
        const std::uint32_t chars = std::min(left, kTextChunk);
        const std::size_t at = text.size();
        text.resize(at + chars);
        // The characters that lie wholly in the buffer at once, then one by one.
        const std::size_t width = wide ? 2 : 1;
        const auto inBuffer =
            static_cast<std::uint32_t>(std::min<std::size_t>(chars, (end_ - pos_) / width));
        char16_t* to = text.data() + at;
        const unsigned char* from = data_ + pos_;
        for (std::uint32_t i = 0; i < inBuffer; ++i, from += width) {
            to[i] = wide ? static_cast<char16_t>(from[0] | (from[1] << 8)) : from[0];
            // Refused at once, so that a search through damaged bytes reads
            // no further than needed (readRecord refuses the rest).
            if (to[i] < 0x20 && to[i] != u'\t' && to[i] != u'\r' && to[i] != u'\n') {
                status_ = Status::Impossible;
                problem_.clear();
                badCharacter_ = to[i];
                pos_ += (i + 1) * width;
                text.resize(at + i + 1);
                return false;
            }
        }
        pos_ += inBuffer * width;
        for (std::uint32_t i = inBuffer; i < chars; ++i) {
            if (pos_ + (wide ? 2 : 1) <= end_) {
                // Fast path: the character lies wholly in the buffer.
                unsigned char lo = data_[pos_++];
                text[at + i] = wide ? static_cast<char16_t>(lo | (data_[pos_++] << 8)) : lo;
                continue;
            }
            unsigned char b[2] = {0, 0};
            if (!readBytes(b, wide ? 2 : 1)) {
                text.resize(at + i);
                return false;
            }
            text[at + i] = static_cast<char16_t>(b[0] | (wide ? b[1] << 8 : 0));
        }
        left -= chars;
    }
    return true;
}

bool PushpinArchiveReader::readRecord(Pushpin& p) {
    std::int32_t satellites = 0;
    std::uint8_t day = 0, hour = 0, minute = 0, month = 0, year = 0;
    double seconds = 0.0;
    bool ok = readI32(p.icon) && readU32(p.reserved) && readText(name_) && readText(note_) &&
              readDouble(p.latitude) && readDouble(p.longitude) && readDouble(p.altitude) &&
              readDouble(p.course) && readDouble(p.speed) && readDouble(p.dop) &&
              readU32(p.state) && readI32(satellites) && readU8(day) && readU8(hour) &&
              readU8(minute) && readU8(month) && readDouble(seconds) && readU8(year);
    if (!ok) {
        return false;
    }
    p.satellites = static_cast<std::uint8_t>(satellites & 0xFF);
    p.time.day = day;
    p.time.hour = hour;
    p.time.minute = minute;
    p.time.month = month;
    p.time.seconds = seconds;
    p.time.year = year;
    // The checks of impossiblePushpin in its order, with the texts checked as
    // stored.
    const char32_t inName = storedText(name_, p.name);
    const char32_t inNote = storedText(note_, p.note);
    problem_ = impossibleValue(p);
    if (problem_.empty() && (inName || inNote)) {
        problem_ = characterText(inName ? inName : inNote);
    }
    if (problem_.empty()) {
        problem_ = impossibleTime(p.time);
    }
    if (!problem_.empty()) {
        status_ = Status::Impossible;
        return false;
    }
    return true;
}

char32_t PushpinArchiveReader::storedText(const std::u16string& text, std::string& out) {
    const std::size_t unpaired = toUtf8(text, out);
    const std::size_t end = std::min(unpaired, text.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (impossibleCharacter(text[i])) {
            return text[i];
        }
    }
    return end < text.size() ? text[end] : 0;
}

bool PushpinArchiveReader::atEnd() {
    return pos_ == end_ && !fill() && status_ == Status::EndOfData;
}

void PushpinArchiveReader::seek(std::size_t offset) {
    if (!file_) {
        pos_ = std::min(offset, end_);
        status_ = Status::Ok;
    }
}

void PushpinArchiveWriter::writeBytesAcross(const void* data, std::size_t n) {
    const auto* src = static_cast<const unsigned char*>(data);
    while (n > 0) {
        if (used_ == buffer_.size() && !flush()) {
            return;
        }
        std::size_t take = std::min(n, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, src, take);
        used_ += take;
        src += take;
        n -= take;
    }
}

bool PushpinArchiveWriter::flush() {
    if (failed_) {
        return false;
    }
    if (used_ > 0 && bytes_) {
        try {
            bytes_->insert(bytes_->end(), buffer_.data(), buffer_.data() + used_);
        } catch (const std::bad_alloc&) {
            failed_ = true;
        }
    } else if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_) {
        failed_ = true;
    }
    used_ = 0;
    return !failed_;
}

void PushpinArchiveWriter::writeU8(std::uint8_t v) {
    writeBytes(&v, 1);
}

void PushpinArchiveWriter::writeU16(std::uint16_t v) {
    unsigned char b[2];
    toLittleEndian(v, b);
    writeBytes(b, 2);
}

void PushpinArchiveWriter::writeU32(std::uint32_t v) {
    unsigned char b[4];
    toLittleEndian(v, b);
    writeBytes(b, 4);
}

void PushpinArchiveWriter::writeDouble(double v) {
    unsigned char b[8];
    toLittleEndian(v, b);
    writeBytes(b, 8);
}

void PushpinArchiveWriter::writeText(std::string_view utf8) {
    toUtf16(utf8, text_);
    const std::u16string& text = text_;
    writeU8(0xFF);
    writeU16(kWideMarker);
    const std::size_t n = text.size();
    if (n < 0xFF) {
        writeU8(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        writeU8(0xFF);
        writeU16(static_cast<std::uint16_t>(n));
    } else {
        writeU8(0xFF);
        writeU16(0xFFFF);
        writeU32(static_cast<std::uint32_t>(n));
    }
    for (std::size_t i = 0; i < n;) {
        if (used_ + 2 > buffer_.size() && !flush()) {
            return;
        }
        // As many characters as the buffer has room for at once.
        const std::size_t room = std::min(n - i, (buffer_.size() - used_) / 2);
        unsigned char* to = buffer_.data() + used_;
        for (std::size_t k = 0; k < room; ++k, ++i) {
            to[2 * k] = static_cast<unsigned char>(text[i] & 0xFF);
            to[2 * k + 1] = static_cast<unsigned char>(text[i] >> 8);
        }
        used_ += 2 * room;
    }
}

std::size_t PushpinArchiveWriter::recordSizeLimit(const Pushpin& p) {
    // The numbers take 77 bytes; each text a 3-byte mark, a length of up to 7
    // bytes and two bytes a character.
    return 77 + 2 * (3 + 7) + 2 * (p.name.size() + p.note.size());
}

void PushpinArchiveWriter::writeRecord(const Pushpin& p) {
    writeI32(p.icon);
    writeU32(p.reserved);
    writeText(p.name);
    writeText(p.note);
    writeDouble(p.latitude);
    writeDouble(p.longitude);
    writeDouble(p.altitude);
    writeDouble(p.course);
    writeDouble(p.speed);
    writeDouble(p.dop);
    writeU32(p.state);
    writeI32(p.satellites);
    writeU8(p.time.day);
    writeU8(p.time.hour);
    writeU8(p.time.minute);
    writeU8(p.time.month);
    writeDouble(p.time.seconds);
    writeU8(p.time.year);
}

}  // namespace wp2
