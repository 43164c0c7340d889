// An instance's working settings: what its frames are drawn with, and what
// its dialog or its element's properties change. The host may draw frames
// on one thread while the dialog (or an application) changes settings on
// another, so the record is read as a whole copy and changed only through
// Change, under one lock. A reader that keeps a copy learns from the
// revision that it is out of date.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <utility>

#include "settings/settings_record.h"

class WorkingSettings {
public:
    SettingsRecord Get() const {
        const std::lock_guard<std::mutex> lock(lock_);
        return record_;
    }

    // The one way to change them: change(record) runs under the lock, and
    // what it returns is returned. It must not call back into this object.
    template <class Edit>
    auto Change(Edit change) {
        const std::lock_guard<std::mutex> lock(lock_);
        struct Bump {  // also when change leaves by an exception, part done
            std::atomic<uint64_t>& revision;
            ~Bump() { revision.fetch_add(1, std::memory_order_release); }
        } bump{revision_};
        return change(record_);
    }

    // Copies the record into copy when it changed after the revision seen
    // (which is then brought up to date); false, and nothing copied, when
    // it did not. Costs one atomic read when nothing changed.
    bool Refresh(SettingsRecord& copy, uint64_t& seen) const {
        if (revision_.load(std::memory_order_acquire) == seen) return false;
        const std::lock_guard<std::mutex> lock(lock_);
        copy = record_;
        seen = revision_.load(std::memory_order_relaxed);
        return true;
    }

private:
    mutable std::mutex lock_;
    SettingsRecord record_;
    std::atomic<uint64_t> revision_{1};  // a reader starts from 0: out of date
};
