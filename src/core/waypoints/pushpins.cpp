// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpins.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/cformat.h"
#include "core/base/paths.h"
#include "core/nav/geodesy.h"
#include "core/waypoints/pushpin_archive.h"
#include "core/waypoints/unique_file.h"

namespace wp2 {

namespace {

// Gives `to` the fields of `from` without copying the texts; `from` is refilled next.
void takeFields(Pushpin& to, Pushpin& from) {
    static_cast<TrackPoint&>(to) = static_cast<const TrackPoint&>(from);
    to.name.swap(from.name);
    to.note.swap(from.note);
    to.icon = from.icon;
    to.reserved = from.reserved;
}

// Resynchronising after damage tries each later byte offset; so that a large
// damaged stretch costs time in proportion to the file, the bytes it reads
// are limited to this many per byte of the file, and this many more.
constexpr std::size_t kResyncWorkPerByte = 64;
constexpr std::size_t kResyncWorkMin = 1 << 24;
// A place counts as the start of a record when this many records read
// cleanly from it, or fewer up to the end of the data: with the loader's
// checks, random bytes pass one record about once in 10^5 places.
constexpr int kResyncRecords = 3;

bool readWhole(std::FILE* file, std::vector<std::uint8_t>& bytes) {
    struct stat st;
    if (::fstat(::fileno(file), &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    }
    std::uint8_t chunk[64 * 1024];
    std::size_t n = 0;
    errno = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return !std::ferror(file);
}

// Whether records read cleanly from `at`: `records` of them, or fewer up to
// the end of the data.
bool readsCleanlyFrom(PushpinArchiveReader& in, std::size_t at, Pushpin& scratch, std::size_t& work,
                      std::size_t records) {
    in.seek(at);
    std::size_t read = 0;
    while (read < records && !(read > 0 && in.atEnd()) && in.readRecord(scratch)) {
        ++read;
    }
    work += in.offset() - at;
    return read == records || (read > 0 && in.atEnd());
}

// The first place after the damaged record at `start` where records read
// cleanly; the size of the data when there is none (or the work is used up).
//
// A file whose texts are 16-bit (as this program writes them) is searched
// only at places whose name begins with the 16-bit mark FF FE FF: elsewhere
// the end of a 16-bit name followed by its zero high byte reads as an empty
// 8-bit name, which would make a record of the damaged one's numbers with a
// made-up icon. A file of 8-bit texts is searched at every byte; as records
// of equal length read shifted by a few bytes can each look sound, a place
// there counts only when the records from it read cleanly up to the end.
std::size_t nextSoundPlace(PushpinArchiveReader& in, const std::vector<std::uint8_t>& bytes,
                           std::size_t start, Pushpin& scratch, std::size_t& work,
                           std::size_t workLimit) {
    static constexpr std::uint8_t kMark[] = {0xFF, 0xFE, 0xFF};
    constexpr std::size_t kNameAt = 8;  // icon and reserved come first
    auto markAt = [&bytes](std::size_t at) {
        return at + 3 <= bytes.size() && std::equal(kMark, kMark + 3, bytes.begin() + at);
    };
    if (start + kNameAt + 1 >= bytes.size()) {
        return bytes.size();
    }
    if (markAt(start + kNameAt) || markAt(4 + kNameAt)) {
        auto from = bytes.begin() + static_cast<std::ptrdiff_t>(start + kNameAt + 1);
        while (work <= workLimit) {
            from = std::search(from, bytes.end(), kMark, kMark + 3);
            if (from == bytes.end()) {
                break;
            }
            const auto at = static_cast<std::size_t>(from - bytes.begin()) - kNameAt;
            if (readsCleanlyFrom(in, at, scratch, work, kResyncRecords)) {
                return at;
            }
            ++from;
        }
        return bytes.size();
    }
    for (std::size_t at = start + 1; at < bytes.size() && work <= workLimit; ++at) {
        if (readsCleanlyFrom(in, at, scratch, work, kResyncRecords) &&
            readsCleanlyFrom(in, at, scratch, work, bytes.size())) {
            return at;
        }
    }
    return bytes.size();
}

// The first damage, met after `added` records of the `declared`.
std::string damageText(const PushpinArchiveReader& in, int added, std::uint32_t declared) {
    using Status = PushpinArchiveReader::Status;
    if (static_cast<std::uint32_t>(added) >= declared) {
        return cformat("data after the last of its %u records", declared);
    }
    if (in.status() == Status::Impossible) {
        return cformat("record %d: %s", added + 1, in.problem().c_str());
    }
    return cformat("it ends in record %d of %u", added + 1, declared);
}

// A 64-bit hash of bytes, eight at a time.
class Hash {
public:
    void add(std::uint64_t word) {
        h_ = (h_ ^ word) * 0x9E3779B97F4A7C15ull;
        h_ ^= h_ >> 29;
    }
    void add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        std::size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            add(word);
        }
        std::uint64_t last = size;  // the length, with the bytes left over
        if (size > i) {
            std::memcpy(&last, bytes + i, size - i);
        }
        add(last ^ (static_cast<std::uint64_t>(size) << 56));
    }
    std::uint64_t value() const { return h_; }

private:
    std::uint64_t h_ = 0x6A09E667F3BCC909ull;
};

std::uint64_t hashBytes(const std::vector<std::uint8_t>& bytes) {
    Hash h;
    h.add(bytes.data(), bytes.size());
    return h.value();
}

// Every field a pushpin's record holds, as a number: equal records, equal
// keys, whether the file held its texts as 8-bit or 16-bit characters.
std::uint64_t recordKey(const Pushpin& p) {
    Hash h;
    h.add(p.name.data(), p.name.size());
    h.add(p.note.data(), p.note.size());
    for (double d :
         {p.latitude, p.longitude, p.altitude, p.course, p.speed, p.dop, p.time.seconds}) {
        h.add(std::bit_cast<std::uint64_t>(d));
    }
    const GpsDateTime& t = p.time;
    h.add(static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.icon)) << 32 | p.reserved);
    h.add(static_cast<std::uint64_t>(p.state) << 32 | std::uint64_t{p.satellites} << 24 |
          std::uint64_t{t.day} << 16 | std::uint64_t{t.hour} << 8 | t.minute);
    h.add(std::uint64_t{t.month} << 8 | t.year);
    return h.value();
}

}  // namespace

bool Pushpins::removeNear(double latitude, double longitude, double altitude) {
    int index = 0;
    for (Pushpin& p : *this) {
        if (approxDistance(p.latitude, p.longitude, p.altitude, latitude, longitude, altitude) <=
            kRemoveNearRadius) {
            return deleteAt(index);
        }
        ++index;
    }
    return false;
}

Pushpins::Entries::iterator Pushpins::find(const Pushpin* pushpin) {
    return std::find_if(entries_.begin(), entries_.end(),
                        [pushpin](const Entry& e) { return e.pin.get() == pushpin; });
}

bool Pushpins::remove(Pushpin* pushpin) {
    const auto it = find(pushpin);
    if (!pushpin || it == entries_.end()) {
        return false;
    }
    entries_.erase(it);
    return true;
}

int Pushpins::takeFrom(Pushpins& from, const std::vector<Pushpin*>& pushpins) {
    if (&from == this) {
        return 0;
    }
    // One pass over each collection, however many are moved.
    std::unordered_map<const Pushpin*, std::size_t> where;
    try {
        entries_.reserve(entries_.size() + pushpins.size());
        where.reserve(from.entries_.size());
        for (std::size_t i = 0; i < from.entries_.size(); ++i) {
            where.emplace(from.entries_[i].pin.get(), i);
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    int moved = 0;
    for (const Pushpin* p : pushpins) {
        const auto it = where.find(p);
        if (p && it != where.end() && from.entries_[it->second].pin) {
            entries_.push_back({std::move(from.entries_[it->second].pin), 0});
            ++moved;
        }
    }
    std::erase_if(from.entries_, [](const Entry& e) { return !e.pin; });
    return moved;
}

void Pushpins::removeAll() {
    entries_.clear();
    targetIndex_ = -1;
}

Pushpin* Pushpins::addNew() {
    try {
        entries_.push_back({std::make_unique<Pushpin>(), 0});
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return entries_.back().pin.get();
}

Pushpin* Pushpins::at(int index) const {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return entries_[entries_.size() - 1 - static_cast<std::size_t>(index)].pin.get();
}

Pushpin* Pushpins::findNear(double latitude, double longitude, double radius) const {
    for (Pushpin& p : *this) {
        if (approxDistance(p.latitude, p.longitude, 0.0, latitude, longitude, 0.0) <= radius) {
            return &p;
        }
    }
    return nullptr;
}

int Pushpins::indexOf(const Pushpin* pushpin) const {
    int index = 0;
    for (const Pushpin& p : *this) {
        if (&p == pushpin) {
            return index;
        }
        ++index;
    }
    return -1;
}

void Pushpins::setTargetIndex(int index) {
    targetIndex_ = (index >= 0 && index < count()) ? index : -1;
}

void Pushpins::shiftTarget(int added) {
    if (targetIndex_ < 0) {
        return;
    }
    long long shifted = static_cast<long long>(targetIndex_) + added;
    targetIndex_ = (shifted >= 0 && shifted < count()) ? static_cast<int>(shifted) : -1;
}

bool Pushpins::deleteAt(int index) {
    Pushpin* p = at(index);
    if (!p) {
        return false;
    }
    if (targetIndex_ == index) {
        targetIndex_ = -1;
    } else if (targetIndex_ > index) {
        // Valid after the removal when it was valid before.
        targetIndex_ = targetIndex_ - 1 < count() - 1 ? targetIndex_ - 1 : -1;
    }
    return remove(p);
}

PushpinLoadResult Pushpins::loadFrom(std::FILE* file) {
    std::vector<std::uint8_t> bytes;
    return file ? loadStream(file, bytes) : PushpinLoadResult{};
}

PushpinLoadResult Pushpins::loadStream(std::FILE* file, std::vector<std::uint8_t>& bytes) {
    const bool read = readWhole(file, bytes);
    const int e = errno;
    PushpinLoadResult result = loadBytes(bytes);
    if (!read) {
        result.readError = true;
        result.problem = cformat("record %d: %s", result.added + 1, std::strerror(e));
    }
    return result;
}

PushpinLoadResult Pushpins::loadBytes(const std::vector<std::uint8_t>& bytes) {
    PushpinLoadResult result;
    result.opened = true;
    PushpinArchiveReader in(bytes.data(), bytes.size());
    std::uint32_t n = 0;
    if (!in.readU32(n)) {
        result.damaged = true;
        result.problem = "it ends in record 1 of 0";
        return result;
    }
    result.declared = n;
    // Each record is read whole and checked before it joins the collection,
    // so a record cut short or holding impossible values never appears.
    Pushpin record;
    std::size_t work = 0;
    const std::size_t workLimit = kResyncWorkPerByte * bytes.size() + kResyncWorkMin;
    while (!in.atEnd()) {
        const std::size_t start = in.offset();
        if (in.readRecord(record)) {
            Pushpin* p = addNew();
            if (!p) {
                result.readError = true;
                result.problem = "out of memory";
                return result;
            }
            takeFields(*p, record);
            ++result.added;
            continue;
        }
        if (!result.damaged) {
            result.damaged = true;
            result.problem = damageText(in, result.added, n);
        }
        // Goes on at the first later place where records read cleanly.
        const std::size_t at = nextSoundPlace(in, bytes, start, record, work, workLimit);
        if (work > workLimit) {
            result.problem += "; the search for sound records after it was given up";
        }
        if (at >= bytes.size()) {
            break;
        }
        in.seek(at);
    }
    if (!result.damaged && static_cast<std::uint32_t>(result.added) != n) {
        result.damaged = true;
        result.problem = damageText(in, result.added, n);
    }
    // A count that the file has no room for is damage itself, not records lost.
    const std::uint64_t room = (bytes.size() - 4) / kMinPushpinRecordSize;
    if (n <= room && n > static_cast<std::uint32_t>(result.added)) {
        result.skipped = n - static_cast<std::uint32_t>(result.added);
    }
    return result;
}

std::string Pushpins::defaultFilePath() {
    return Paths::map(kPushpinFileName);
}

PushpinLoadResult Pushpins::load() {
    const std::string path = defaultFilePath();
    PushpinLoadResult result = loadFile(path);
    if (result.opened && !result.clean()) {
        const Result<std::string> kept = keepAside(path);
        if (kept) {
            result.keptAs = *kept;
            setBase(path, false, {});
        } else {
            protectedFile_ = path;
            result.notMovedReason = kept.error().reason;
        }
    }
    return result;
}

PushpinLoadResult Pushpins::loadFile(const std::string& path) {
    UniqueFile file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        const int e = errno;
        setBase(path, false, {});
        errno = e;
        return {};
    }
    std::vector<std::uint8_t> bytes;
    const std::size_t before = entries_.size();
    const PushpinLoadResult result = loadStream(file.get(), bytes);
    // The records read become the base; pushpins that were there before
    // count as added.
    std::uint32_t origin = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        entries_[i].origin = i >= before ? ++origin : 0;
    }
    setBase(path, true, bytes);
    return result;
}

Result<> Pushpins::save() {
    return saveFile(defaultFilePath());
}

void Pushpins::setBase(const std::string& path, bool existed,
                       const std::vector<std::uint8_t>& bytes) {
    base_.path = path;
    base_.existed = existed;
    base_.hash = hashBytes(bytes);
    base_.keys.clear();
    for (const Entry& e : entries_) {
        if (e.origin > 0) {
            base_.keys.resize(std::max<std::size_t>(base_.keys.size(), e.origin));
            base_.keys[e.origin - 1] = recordKey(*e.pin);
        }
    }
}

void Pushpins::mergeChanges(Pushpins& theirs, const std::string& path,
                            const std::vector<std::uint8_t>& bytes) {
    // The base records still in the file, matched by their keys, in order.
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> unmatched;
    for (std::size_t b = base_.keys.size(); b-- > 0;) {
        unmatched[base_.keys[b]].push_back(b);
    }
    // For each base record, our entry that came from it.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> ours(base_.keys.size(), kNone);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].origin > 0 && entries_[i].origin <= ours.size()) {
            ours[entries_[i].origin - 1] = i;
        }
    }
    std::vector<bool> stillThere(base_.keys.size(), false);
    const Pushpin* target = at(targetIndex_);
    Entries next;
    next.reserve(entries_.size() + theirs.entries_.size());
    // The new order, oldest first: the file's records as they are now, with
    // ours in place of the base records (edited or not) and without those
    // deleted here...
    std::vector<std::uint64_t> theirKeys;
    std::uint32_t record = 0;
    for (Entry& t : theirs.entries_) {
        ++record;
        theirKeys.push_back(recordKey(*t.pin));
        auto it = unmatched.find(theirKeys.back());
        if (it == unmatched.end() || it->second.empty()) {
            next.push_back({std::move(t.pin), record});
            continue;
        }
        const std::size_t b = it->second.back();
        it->second.pop_back();
        stillThere[b] = true;
        if (ours[b] != kNone) {
            next.push_back({std::move(entries_[ours[b]].pin), record});
        }
    }
    // ...then the pushpins edited here that the other program deleted, and
    // the pushpins added here.
    for (int pass = 0; pass < 2; ++pass) {
        for (Entry& e : entries_) {
            if (!e.pin) {
                continue;  // already placed
            }
            const bool added = e.origin == 0 || e.origin > ours.size();
            const bool editedAndGone = !added && !stillThere[e.origin - 1] &&
                                       recordKey(*e.pin) != base_.keys[e.origin - 1];
            if (pass == 0 ? editedAndGone : added) {
                next.push_back({std::move(e.pin), 0});
            }
        }
    }
    targetIndex_ = -1;
    for (std::size_t i = 0; target && i < next.size(); ++i) {
        if (next[i].pin.get() == target) {
            targetIndex_ = static_cast<int>(next.size() - 1 - i);
        }
    }
    // The pushpins deleted by the other program go with the old entries.
    entries_ = std::move(next);
    // The file as it is now is the base: a pushpin edited here stays edited.
    base_.path = path;
    base_.existed = true;
    base_.hash = hashBytes(bytes);
    base_.keys = std::move(theirKeys);
}

Result<> Pushpins::saveFile(const std::string& path) {
    const std::string what = "write " + path;
    if (!protectedFile_.empty() && path == protectedFile_) {
        return fail(what, "the damaged file is kept as it is");
    }
    std::filesystem::path target(path);
    if (target.has_parent_path()) {
        Paths::makeDirs(target.parent_path().string());
    }
    // The file this collection came from may have been changed by another
    // program: look under the lock, and make this collection's changes on
    // what it holds now.
    const FolderLock lock(target.has_parent_path() ? target.parent_path().string() : ".");
    std::vector<std::uint8_t> now;
    bool nowRead = false;  // `now` holds the file as it is
    if (!base_.path.empty() && path == base_.path) {
        UniqueFile file(std::fopen(path.c_str(), "rb"));
        if ((!file && errno != ENOENT) || (file && !readWhole(file.get(), now))) {
            const int e = errno;
            return fail(what, systemErrorText(e), e);
        }
        if (file && (!base_.existed || hashBytes(now) != base_.hash)) {
            Pushpins theirs;
            PushpinLoadResult loaded = theirs.loadBytes(now);
            if (!loaded.clean()) {
                const Result<std::string> kept = keepAside(path);
                if (!kept) {
                    return fail(what, "the file was damaged meanwhile and is kept as it is");
                }
                loaded.keptAs = *kept;
                damagedOnSave_ = loaded;
            }
            mergeChanges(theirs, path, now);
        }
        nowRead = file != nullptr;
    }
    // Encoded into memory reserved once, whole.
    std::vector<std::uint8_t> bytes;
    bool encoded = false;
    try {
        std::size_t size = 4;
        for (const Pushpin& p : oldestFirst()) {
            size += PushpinArchiveWriter::recordSizeLimit(p);
        }
        bytes.reserve(size);
        PushpinArchiveWriter out(bytes);
        out.writeU32(static_cast<std::uint32_t>(count()));
        for (const Pushpin& p : oldestFirst()) {
            out.writeRecord(p);
        }
        encoded = out.flush();
    } catch (const std::bad_alloc&) {
        encoded = false;
    }
    if (!encoded) {
        return fail(what, "not enough memory");
    }
    // An unchanged collection is not written again (nothing to lose, and
    // nothing to fail on a read-only disk).
    const bool holds = nowRead ? now == bytes : fileHolds(path, bytes);
    if (!holds) {
        if (Result<> written = replaceFileAtomically(path, bytes); !written) {
            return fail(written.error());
        }
    }
    if (base_.path.empty() || path == base_.path) {
        std::uint32_t origin = 0;
        for (Entry& e : entries_) {
            e.origin = ++origin;
        }
        setBase(path, true, bytes);
    }
    return {};
}

}  // namespace wp2
