#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/DebugLog.h"
#include "base/SideBySide.h"
#include "folders/TreeEntry.h"
#include "report/TreeReport.h"

namespace tandemix {

// Keeps the lines written to it until they are passed on, so that work done out of turn
// logs in turn.
class HeldDebugLog final : public DebugLog {
public:
    void Write(std::string_view line) override { lines_.emplace_back(line); }
    void ReplayTo(DebugLog& log) const;

private:
    std::vector<std::string> lines_;
};

// Makes the rows of a tree report's files a few entries ahead of the writer, on a helper
// thread, so that loading and aligning the next files overlaps writing the current one;
// while the writer would wait it makes rows itself. Rows are handed out in the order of the
// given entries, which is the order the report asks for them; an entry the report passes
// over is dropped. Memory stays bounded: besides the entry handed out last, at most
// `entries` entries are held, and of their files no more than `bytes` unless a single entry
// is larger (it is then held alone).
class RowsAhead {
public:
    using Make = std::function<TreeFileRows(const TreeEntry& entry, DebugLog& log)>;
    struct Bounds {
        std::size_t entries = 8;
        std::uint64_t bytes = std::uint64_t{4} << 20;
    };

    // Lines that make logs are passed on to log as their rows are handed out. With
    // Sharing::OneAfterTheOther all rows are made on the caller's thread when asked for.
    RowsAhead(std::vector<const TreeEntry*> order, Make make, DebugLog& log, Sharing sharing,
              Bounds bounds);
    RowsAhead(const RowsAhead&) = delete;
    RowsAhead& operator=(const RowsAhead&) = delete;
    ~RowsAhead();

    // The rows of an entry of the order, at or after the one asked for last; of any other
    // entry they are made at once.
    TreeFileRows Take(const TreeEntry& entry);

private:
    struct Slot {
        TreeFileRows rows;
        HeldDebugLog log;
        std::exception_ptr failure;
        bool done = false;
    };

    std::uint64_t BytesOf(std::size_t index) const;
    bool MayStart(std::size_t index) const;
    // Claims the next entry, makes its rows without the lock held, and marks them done.
    void MakeNext(std::unique_lock<std::mutex>& lock);
    void Work();

    std::vector<const TreeEntry*> order_;
    Make make_;
    DebugLog& log_;
    Bounds bounds_;
    std::mutex mutex_;
    std::condition_variable ready_;  // a slot is done
    std::condition_variable room_;   // the writer moved on, or the work ends
    // The entries [first_, first_ + slots_.size()) are being made or are made.
    std::deque<Slot> slots_;
    std::size_t first_ = 0;
    std::uint64_t held_ = 0;    // bytes of the entries in slots_ and of the one handed out
    std::uint64_t handed_ = 0;  // bytes of the one handed out last
    bool stop_ = false;
    std::thread helper_;
};

}  // namespace tandemix
