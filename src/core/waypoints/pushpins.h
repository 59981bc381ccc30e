// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The collection of pushpins, index 0 the newest, with the index of the
// current navigation target (-1 for none), and the pushpin file
// "My Documents/Pushpins.kpp". A pushpin stays at its address for as long
// as it is in the collection, whatever is added or removed around it.

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/base/result.h"
#include "core/waypoints/pushpin.h"

namespace wp2 {

inline constexpr const char* kPushpinFileName = "My Documents/Pushpins.kpp";
// removeNear takes the first pushpin within this distance, altitudes included.
inline constexpr double kRemoveNearRadius = 15.0;

// What reading a pushpin file gave.
struct PushpinLoadResult {
    bool opened = false;         // the file could be opened
    std::uint32_t declared = 0;  // the record count the file states
    int added = 0;               // pushpins added to the collection
    // The file does not hold exactly the stated number of sound records: it
    // ends early, has data after them, or a record holds impossible values.
    // After a damaged record reading goes on from the next place where
    // records read cleanly, so only the damaged ones are lost.
    bool damaged = false;
    // The records the file states that were not read (0 when the stated
    // count cannot be right: more records than the file has room for).
    std::uint32_t skipped = 0;
    // The system reported a read error; the records before it were added.
    bool readError = false;
    // What is wrong, for the user ("record 118: latitude -3.8e+66"): the
    // first damage.
    std::string problem;
    // Load: where the file that did not load cleanly was kept ("" when it
    // could not be moved; it is then never overwritten by a save).
    std::string keptAs;
    // Why it could not be moved, when it could not.
    std::string notMovedReason;

    bool clean() const { return opened && !damaged && !readError; }
};

class Pushpins {
public:
    Pushpins() = default;
    ~Pushpins() = default;
    Pushpins(const Pushpins&) = delete;
    Pushpins& operator=(const Pushpins&) = delete;

    // Removes the first pushpin, counting from index 0, within kRemoveNearRadius
    // of the position (altitudes included), adjusting the target index as a
    // deletion does. True when one was removed.
    bool removeNear(double latitude, double longitude, double altitude);
    // Unlinks and destroys the pushpin; the target index is left alone. False
    // (and nothing changes) when the pushpin does not belong to this collection.
    bool remove(Pushpin* pushpin);
    // Removes every pushpin, oldest first; the target index becomes -1.
    void removeAll();
    // A new empty pushpin linked in as index 0; the target index is left alone.
    // Nothing when memory runs out.
    Pushpin* addNew();
    // The pushpin at the index; nothing when the index is out of range.
    Pushpin* at(int index) const;
    // The first pushpin, counting from index 0, within radius metres of the
    // position, both taken at altitude 0.
    Pushpin* findNear(double latitude, double longitude, double radius) const;
    // Index of the pushpin in this collection, -1 when it is not in it.
    int indexOf(const Pushpin* pushpin) const;
    // Moves pushpins of another collection, with all their fields, to index 0
    // of this one in the order given, so that the last given ends at index 0
    // (the other's target index is left alone). Returns how many were moved:
    // those that do not belong to `from` are not; none when memory runs out.
    int takeFrom(Pushpins& from, const std::vector<Pushpin*>& pushpins);

    // Adds the sound records of a pushpin file opened by the caller.
    PushpinLoadResult loadFrom(std::FILE* file);
    // Reads the pushpin file (kPushpinFileName under the data root). A file
    // that does not load cleanly is kept aside as "Pushpins.kpp.bad" (never
    // replacing an earlier kept copy), which the caller tells the user
    // (damagedPushpinFileText); when it cannot be moved, saves never
    // overwrite it.
    PushpinLoadResult load();
    // Reads a pushpin file and tells no one.
    PushpinLoadResult loadFile(const std::string& path);
    // Replaces the pushpin file atomically: the old file stays whole when
    // writing fails. The failure says why the file could not be written in
    // its reason ("No space left on device").
    //
    // Saving the file this collection was loaded from (or last saved to)
    // first looks whether another program (wayplot2-tool) changed it since.
    // Then the collection takes the file's pushpins as they are now, with
    // this collection's own changes made again on them: its additions, the
    // pushpins it edited and deleted. Pushpins the other program added are
    // kept, ones it deleted stay deleted unless this collection edited them.
    // Programs saving into one folder take turns (a lock on the folder), so
    // no change falls between the look and the write. A file damaged meanwhile
    // is kept aside as for load(), and its sound records are taken; the
    // caller learns of it from takeDamagedOnSave().
    Result<> save();
    Result<> saveFile(const std::string& path);
    static std::string defaultFilePath();
    // The file the last save found damaged and kept aside, once.
    std::optional<PushpinLoadResult> takeDamagedOnSave() {
        return std::exchange(damagedOnSave_, {});
    }

    int count() const { return static_cast<int>(entries_.size()); }

    // Target index rules.
    int targetIndex() const { return targetIndex_; }
    // Becomes the index when it names a pushpin, else -1 (start-up from
    // "LastTarg", the point selection dialog).
    void setTargetIndex(int index);
    // After `added` pushpins were put in front (one from the dashboard, k by
    // an import): the target moves up with them; -1 when that leaves the range.
    void shiftTarget(int added);
    // Deletes the pushpin at the index, keeping the target on the same
    // waypoint; deleting the target leaves none. False for a bad index.
    bool deleteAt(int index);

private:
    struct Entry {
        std::unique_ptr<Pushpin> pin;
        // The record of the pushpin file this pushpin was read from or last
        // saved as (1 the oldest), 0 when it was added since.
        std::uint32_t origin = 0;
    };
    using Entries = std::vector<Entry>;

public:
    // Walks entries, giving their pushpins.
    template <typename EntryIterator>
    class Walk {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Pushpin;
        using difference_type = std::ptrdiff_t;
        using pointer = Pushpin*;
        using reference = Pushpin&;

        Walk() = default;
        explicit Walk(EntryIterator at) : at_(at) {}
        Pushpin& operator*() const { return *at_->pin; }
        Pushpin* operator->() const { return at_->pin.get(); }
        Walk& operator++() {
            ++at_;
            return *this;
        }
        Walk operator++(int) {
            Walk old = *this;
            ++*this;
            return old;
        }
        bool operator==(const Walk&) const = default;

    private:
        EntryIterator at_{};
    };
    using Iterator = Walk<Entries::const_reverse_iterator>;
    using OldestFirstIterator = Walk<Entries::const_iterator>;
    struct OldestFirst {
        OldestFirstIterator first, last;
        OldestFirstIterator begin() const { return first; }
        OldestFirstIterator end() const { return last; }
    };

    // From index 0 to the oldest.
    Iterator begin() const { return Iterator(entries_.rbegin()); }
    Iterator end() const { return Iterator(entries_.rend()); }
    // From the oldest to index 0, as the file holds them.
    OldestFirst oldestFirst() const {
        return {OldestFirstIterator(entries_.begin()), OldestFirstIterator(entries_.end())};
    }

private:
    // The pushpin file as this collection last read or wrote it.
    struct FileBase {
        std::string path;  // "" when the collection comes from no file
        bool existed = false;
        std::uint64_t hash = 0;           // of the file's bytes
        std::vector<std::uint64_t> keys;  // recordKey of each record, oldest first
    };

    // Reads the whole stream into bytes and adds its records.
    PushpinLoadResult loadStream(std::FILE* file, std::vector<std::uint8_t>& bytes);
    PushpinLoadResult loadBytes(const std::vector<std::uint8_t>& bytes);
    // Remembers the file's bytes and the collection's records as the base.
    void setBase(const std::string& path, bool existed, const std::vector<std::uint8_t>& bytes);
    // Takes the pushpins of `theirs` (the file as it is now) and makes this
    // collection's changes since the base again on them; `theirs` becomes
    // the base.
    void mergeChanges(Pushpins& theirs, const std::string& path,
                      const std::vector<std::uint8_t>& bytes);
    // Where the pushpin is in entries_; entries_.end() when it is not in this
    // collection.
    Entries::iterator find(const Pushpin* pushpin);

    // A damaged pushpin file that could not be kept aside: never written over.
    std::string protectedFile_;
    std::optional<PushpinLoadResult> damagedOnSave_;
    FileBase base_;
    // Oldest first: index i is entries_[count() - 1 - i].
    Entries entries_;
    int targetIndex_ = -1;
};

}  // namespace wp2
