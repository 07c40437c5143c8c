#include "run/RowsAhead.h"

#include <system_error>
#include <utility>

namespace tandemix {

void HeldDebugLog::ReplayTo(DebugLog& log) const {
    for (const std::string& line : lines_) {
        log.Write(line);
    }
}

RowsAhead::RowsAhead(std::vector<const TreeEntry*> order, Make make, DebugLog& log, Sharing sharing,
                     Bounds bounds)
    : order_(std::move(order)), make_(std::move(make)), log_(log), bounds_(bounds) {
    if (sharing == Sharing::SideBySide && order_.size() > 1) {
        try {
            helper_ = std::thread([this] { Work(); });
        } catch (const std::system_error&) {
            // Without a thread the writer makes every entry's rows itself.
        }
    }
}

RowsAhead::~RowsAhead() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    room_.notify_all();
    if (helper_.joinable()) {
        helper_.join();
    }
}

std::uint64_t RowsAhead::BytesOf(std::size_t index) const {
    const TreeEntry& entry = *order_[index];
    return entry.sides[0].size + entry.sides[1].size;
}

bool RowsAhead::MayStart(std::size_t index) const {
    return index < order_.size() && index < first_ + bounds_.entries &&
           (held_ == 0 || held_ + BytesOf(index) <= bounds_.bytes);
}

void RowsAhead::MakeNext(std::unique_lock<std::mutex>& lock) {
    const std::size_t index = first_ + slots_.size();
    const std::uint64_t bytes = BytesOf(index);
    held_ += bytes;
    // A deque keeps its elements in place while others are added and taken at its ends.
    Slot& slot = slots_.emplace_back();
    lock.unlock();
    try {
        slot.rows = make_(*order_[index], slot.log);
    } catch (...) {
        slot.failure = std::current_exception();
    }
    lock.lock();
    slot.done = true;
    ready_.notify_all();
}

void RowsAhead::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        while (!stop_ && MayStart(first_ + slots_.size())) {
            MakeNext(lock);
        }
        // Once ahead as far as it may go, this thread waits until half the entries are
        // taken, so that the writer wakes it once for several of them.
        room_.wait(lock, [&] {
            return stop_ ||
                   (slots_.size() <= bounds_.entries / 2 && MayStart(first_ + slots_.size()));
        });
        if (stop_) {
            return;
        }
    }
}

TreeFileRows RowsAhead::Take(const TreeEntry& entry) {
    std::unique_lock lock(mutex_);
    held_ -= handed_;
    handed_ = 0;
    std::size_t index = first_;
    while (index < order_.size() && order_[index] != &entry) {
        ++index;
    }
    if (index == order_.size()) {
        lock.unlock();
        HeldDebugLog log;
        TreeFileRows rows = make_(entry, log);
        log.ReplayTo(log_);
        return rows;
    }
    // Entries the report passed over: their rows are not wanted.
    while (first_ < index) {
        if (!slots_.empty()) {
            ready_.wait(lock, [&] { return slots_.front().done; });
            held_ -= BytesOf(first_);
            slots_.pop_front();
        }
        ++first_;
    }
    while (slots_.empty() || !slots_.front().done) {
        const bool helped = helper_.joinable();
        if (slots_.empty() || (helped && MayStart(first_ + slots_.size()))) {
            MakeNext(lock);
        } else {
            ready_.wait(lock);
        }
    }
    Slot slot = std::move(slots_.front());
    slots_.pop_front();
    handed_ = BytesOf(first_);
    ++first_;
    const bool room = slots_.size() <= bounds_.entries / 2;
    lock.unlock();
    if (room) {
        room_.notify_one();
    }
    slot.log.ReplayTo(log_);
    if (slot.failure) {
        std::rethrow_exception(slot.failure);
    }
    return std::move(slot.rows);
}

}  // namespace tandemix
