#include "run/RowsAhead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "support/RecordingSinks.h"

namespace tandemix {
namespace {

using testing::RecordingDebugLog;

std::vector<TreeEntry> Files(int count, std::uint64_t size) {
    std::vector<TreeEntry> entries(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        entries[static_cast<std::size_t>(i)].path = "f" + std::to_string(i);
        entries[static_cast<std::size_t>(i)].sides[0] = {EntryKind::File, 0, size};
    }
    return entries;
}

// Rows come in the writer's order, entries it passes over are dropped, and however far the
// helper runs ahead of a slow writer it holds no more entries than its bounds allow
// (counted with the one the writer holds).
TEST(RowsAheadTest, HandsOutRowsInOrderWithinItsBounds) {
    struct Case {
        const char* name;
        RowsAhead::Bounds bounds;
        std::uint64_t size;  // of each entry
        int mostHeld;
    };
    const Case cases[] = {
        {"by entries", {3, 1 << 20}, 10, 4},
        {"by bytes", {8, 100}, 40, 2},
        {"an entry above the bytes alone", {8, 100}, 500, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<TreeEntry> entries = Files(40, c.size);
        std::vector<const TreeEntry*> order;
        for (const TreeEntry& entry : entries) {
            order.push_back(&entry);
        }
        std::atomic<int> made = 0;
        std::atomic<int> released = 0;
        std::atomic<int> mostHeld = 0;
        RecordingDebugLog log;
        std::vector<std::string> shown;  // each entry's log lines come as its rows are handed out
        {
            RowsAhead ahead(
                order,
                [&](const TreeEntry& entry, DebugLog& entryLog) {
                    const int held = ++made - released;
                    int most = mostHeld;
                    while (held > most && !mostHeld.compare_exchange_weak(most, held)) {
                    }
                    entryLog.Write(entry.path);
                    TreeFileRows rows;
                    rows.problem = entry.path;
                    return rows;
                },
                log, Sharing::SideBySide, c.bounds);
            for (std::size_t i = 0; i < entries.size(); i += i == 10 ? 5 : 1) {
                // The rows of the entries before are gone.
                released = static_cast<int>(i);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                EXPECT_EQ(ahead.Take(entries[i]).problem, entries[i].path);
                shown.push_back(entries[i].path);
            }
            TreeEntry other;
            other.path = "other";
            EXPECT_EQ(ahead.Take(other).problem, "other");
        }
        EXPECT_LE(mostHeld, c.mostHeld);
        shown.push_back("other");
        EXPECT_EQ(log.lines, shown);
    }
}

}  // namespace
}  // namespace tandemix
