#include "core/waypoints/cpushpins.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/cformat.h"
#include "core/base/paths.h"
#include "core/nav/geodesy.h"
#include "core/waypoints/pushpin_archive.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/unique_file.h"

namespace wp2 {

namespace {

// Gives `to` the fields of `from` without copying the texts; `from` is refilled next.
void takeFields(CPushpin& to, CPushpin& from) {
    static_cast<TrackPoint&>(to) = static_cast<const TrackPoint&>(from);
    to.name.swap(from.name);
    to.note.swap(from.note);
    to.icon = from.icon;
    to.reserved = from.reserved;
}

}  // namespace

CPushpins::~CPushpins() {
    RemoveAll();
}

bool CPushpins::RemoveNear(double latitude, double longitude, double altitude) {
    int index = 0;
    for (CPushpin& p : *this) {
        if (approxDistance(p.latitude, p.longitude, p.altitude, latitude, longitude, altitude) <=
            kRemoveNearRadius) {
            return DeleteAt(index);
        }
        ++index;
    }
    return false;
}

void CPushpins::unlink(CPushpin* pushpin) {
    (pushpin->newer_ ? pushpin->newer_->older_ : newest_) = pushpin->older_;
    (pushpin->older_ ? pushpin->older_->newer_ : oldest_) = pushpin->newer_;
    pushpin->newer_ = pushpin->older_ = nullptr;
    pushpin->owner_ = nullptr;
    --count_;
    forgetCursor();
}

void CPushpins::linkAsNewest(CPushpin* pushpin) {
    pushpin->owner_ = this;
    pushpin->newer_ = nullptr;
    pushpin->older_ = newest_;
    (newest_ ? newest_->newer_ : oldest_) = pushpin;
    newest_ = pushpin;
    ++count_;
    if (cursorIndex_ >= 0) {
        ++cursorIndex_;
    }
}

bool CPushpins::Remove(CPushpin* pushpin) {
    if (!pushpin || pushpin->owner_ != this) {
        return false;
    }
    unlink(pushpin);
    delete pushpin;
    return true;
}

bool CPushpins::TakeFrom(CPushpins& from, CPushpin* pushpin) {
    if (!pushpin || pushpin->owner_ != &from || &from == this) {
        return false;
    }
    from.unlink(pushpin);
    linkAsNewest(pushpin);
    return true;
}

void CPushpins::RemoveAll() {
    while (oldest_) {
        Remove(oldest_);
    }
    targetIndex_ = -1;
}

CPushpin* CPushpins::AddNew() {
    auto* p = new (std::nothrow) CPushpin;
    if (p) {
        linkAsNewest(p);
    }
    return p;
}

CPushpin* CPushpins::GetAt(int index) const {
    if (index < 0 || index >= count_) {
        return nullptr;
    }
    // Start from whichever known place is nearest: index 0, the oldest, or the cursor.
    CPushpin* p = newest_;
    int at = 0;
    if (count_ - 1 - index < index) {
        p = oldest_;
        at = count_ - 1;
    }
    if (cursorIndex_ >= 0 && std::abs(cursorIndex_ - index) < std::abs(at - index)) {
        p = cursor_;
        at = cursorIndex_;
    }
    for (; at < index; ++at) {
        p = p->older_;
    }
    for (; at > index; --at) {
        p = p->newer_;
    }
    cursor_ = p;
    cursorIndex_ = index;
    return p;
}

CPushpin* CPushpins::FindNear(double latitude, double longitude, double radius) const {
    for (CPushpin& p : *this) {
        if (approxDistance(p.latitude, p.longitude, 0.0, latitude, longitude, 0.0) <= radius) {
            return &p;
        }
    }
    return nullptr;
}

int CPushpins::IndexOf(const CPushpin* pushpin) const {
    if (!pushpin || pushpin->owner_ != this) {
        return -1;
    }
    int index = 0;
    for (const CPushpin* p = newest_; p; p = p->older_, ++index) {
        if (p == pushpin) {
            return index;
        }
    }
    return -1;
}

void CPushpins::SetTargetIndex(int index) {
    targetIndex_ = (index >= 0 && index < count_) ? index : -1;
}

void CPushpins::ShiftTarget(int added) {
    if (targetIndex_ < 0) {
        return;
    }
    long long shifted = static_cast<long long>(targetIndex_) + added;
    targetIndex_ = (shifted >= 0 && shifted < count_) ? static_cast<int>(shifted) : -1;
}

bool CPushpins::DeleteAt(int index) {
    CPushpin* p = GetAt(index);
    if (!p) {
        return false;
    }
    if (targetIndex_ == index) {
        targetIndex_ = -1;
    } else if (targetIndex_ > index) {
        // Valid after the removal when it was valid before.
        targetIndex_ = targetIndex_ - 1 < count_ - 1 ? targetIndex_ - 1 : -1;
    }
    return Remove(p);
}

PushpinLoadResult CPushpins::LoadFrom(std::FILE* file) {
    PushpinLoadResult result;
    result.opened = file != nullptr;
    if (!file) {
        return result;
    }
    PushpinArchiveReader in(file);
    std::uint32_t n = 0;
    bool ok = in.readU32(n);
    if (ok) {
        result.declared = n;
    }
    // Each record is read whole and checked before it joins the collection,
    // so a record cut short or holding impossible values never appears.
    CPushpin record;
    for (std::uint32_t i = 0; ok && i < n; ++i) {
        ok = in.readRecord(record);
        if (ok) {
            CPushpin* p = AddNew();
            if (!p) {
                result.readError = true;
                result.problem = "out of memory";
                return result;
            }
            takeFields(*p, record);
            ++result.added;
        }
    }
    using Status = PushpinArchiveReader::Status;
    if (ok && !in.atEnd()) {
        ok = false;
        if (in.status() == Status::ReadError) {
            result.readError = true;
        } else {
            result.damaged = true;
            result.problem = cformat("data after the last of its %u records", n);
            return result;
        }
    }
    if (!ok) {
        result.readError = in.status() == Status::ReadError;
        result.damaged = !result.readError;
        const std::string where = cformat("record %d", result.added + 1);
        result.problem = in.status() == Status::ReadError ? where + ": " + std::strerror(errno)
                         : in.status() == Status::Impossible
                             ? where + ": " + in.problem()
                             : cformat("it ends in record %d of %u", result.added + 1, n);
    }
    return result;
}

std::string CPushpins::DefaultFilePath() {
    return Paths::map(kPushpinFileName);
}

PushpinLoadResult CPushpins::Load() {
    const std::string path = DefaultFilePath();
    PushpinLoadResult result = LoadFile(path);
    if (result.opened && !result.clean()) {
        std::string why;
        result.keptAs = keepAside(path, &why);
        if (result.keptAs.empty()) {
            protectedFile_ = path;
        }
        reportDamagedPushpinFile(path, result, why);
    }
    return result;
}

PushpinLoadResult CPushpins::LoadFile(const std::string& path) {
    UniqueFile file(std::fopen(path.c_str(), "rb"));
    return LoadFrom(file.get());
}

bool CPushpins::Save(std::string* error) const {
    return SaveFile(DefaultFilePath(), error);
}

bool CPushpins::SaveFile(const std::string& path, std::string* error) const {
    if (!protectedFile_.empty() && path == protectedFile_) {
        if (error) {
            *error = "the damaged file is kept as it is";
        }
        return false;
    }
    std::filesystem::path target(path);
    if (target.has_parent_path()) {
        Paths::makeDirs(target.parent_path().string());
    }
    char* data = nullptr;
    std::size_t size = 0;
    bool encoded = false;
    if (std::FILE* memory = ::open_memstream(&data, &size)) {
        PushpinArchiveWriter out(memory);
        out.writeU32(static_cast<std::uint32_t>(count_));
        for (const CPushpin* p = oldest_; p; p = p->newer_) {
            out.writeRecord(*p);
        }
        encoded = out.flush();
        encoded = std::fclose(memory) == 0 && encoded;
    }
    std::unique_ptr<char, decltype(&std::free)> owned(data, &std::free);
    if (!encoded) {
        if (error) {
            *error = "not enough memory";
        }
        return false;
    }
    const std::vector<std::uint8_t> bytes(data, data + size);
    // An unchanged collection is not written again (nothing to lose, and
    // nothing to fail on a read-only disk).
    return fileHolds(path, bytes) || replaceFileAtomically(path, bytes, error);
}

}  // namespace wp2
