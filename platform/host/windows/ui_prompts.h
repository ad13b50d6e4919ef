// Internal: the outside handler that modal dialogs and message boxes are
// offered to, and the bounded records of both.
#pragma once

#include "platform/host/internal_header.h"

#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/host/control/ui_driver.h"

namespace vtsim::internal {

// Calls the handler with the prompt; false when no handler is set.
bool OfferToHandler(UiPrompt& prompt);

// The most recent records of one kind, at most kLimit.
template <typename Record>
class BoundedRecords {
public:
    static constexpr std::size_t kLimit = 1000;

    void Add(Record record)
    {
        std::lock_guard lock(mutex_);
        records_.push_back(std::move(record));
        while (records_.size() > kLimit) {
            records_.pop_front();
        }
    }
    std::vector<Record> All() const
    {
        std::lock_guard lock(mutex_);
        return {records_.begin(), records_.end()};
    }
    void Clear()
    {
        std::lock_guard lock(mutex_);
        records_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::deque<Record> records_;
};

}  // namespace vtsim::internal
