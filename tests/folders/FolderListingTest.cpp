#include "folders/FolderListing.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/ContentHash.h"
#include "support/DocumentLines.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace tandemix {
namespace {

using testing::LinesOf;

time_t Utc(int year, unsigned month, unsigned day, int hour, int minute, int second = 0) {
    using namespace std::chrono;
    const sys_days date{std::chrono::year(year) / month / day};
    return system_clock::to_time_t(date + hours(hour) + minutes(minute) + seconds(second));
}

// A path ending in '/' is a folder, anything else a file with the given time and content.
struct Node {
    std::string path;
    time_t modified = 0;
    std::string content = "x";
};

std::vector<std::string> List(const std::string& path, FolderListingChoices choices = {},
                              FolderListingResult* result = nullptr) {
    TextDocument document(CodePage::None);
    const FolderListingResult listed = LoadFolder(document, path, OptionMap(), choices);
    EXPECT_TRUE(listed);
    if (result != nullptr) {
        *result = listed;
    }
    return LinesOf(document);
}

constexpr FolderListingChoices kByContents{FolderComparison::ByContents};

class FolderListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Where an unprivileged user can reach the tree; in memory where that is there, since
        // thousands of nested folders take long to remove from a disk.
        const bool inMemory = ::access("/dev/shm", W_OK) == 0;
        std::string pattern =
            inMemory ? "/dev/shm/tandemix-folders-XXXXXX" : "/tmp/tandemix-folders-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        ASSERT_EQ(::chmod(root_.c_str(), 0755), 0);
    }
    void TearDown() override {
        for (const std::string& path : locked_) {
            ::chmod(path.c_str(), 0755);
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::string At(const std::string& relative) const { return root_ + "/" + relative; }

    // The nodes in the folder `under` (made too), relative to the root.
    void Build(const std::vector<Node>& nodes, const std::string& under = ".") const {
        std::filesystem::create_directories(At(under));
        for (const Node& node : nodes) {
            const std::filesystem::path path = At(under + "/" + node.path);
            std::filesystem::create_directories(node.path.ends_with('/') ? path
                                                                         : path.parent_path());
            if (!node.path.ends_with('/')) {
                std::ofstream(path, std::ios::binary) << node.content;
                SetTime(path.string(), node.modified, 0);
            }
        }
        // Independent of the umask, so that any user can look into every folder.
        for (const auto& item : std::filesystem::recursive_directory_iterator(root_)) {
            if (item.is_directory() && !item.is_symlink()) {
                ::chmod(item.path().c_str(), 0755);
            }
        }
    }

    static void SetTime(const std::string& path, time_t modified, int flags) {
        const timespec times[2] = {{modified, 0}, {modified, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, flags), 0) << path;
    }

    void Link(const std::string& target, const std::string& relative) const {
        ASSERT_EQ(::symlink(target.c_str(), At(relative).c_str()), 0) << relative;
    }

    void Lock(const std::string& relative, mode_t mode) {
        locked_.push_back(At(relative));
        ASSERT_EQ(::chmod(locked_.back().c_str(), mode), 0);
    }

    std::string root_;
    std::vector<std::string> locked_;
};

const time_t kTime = Utc(2005, 12, 24, 13, 45);
constexpr const char* kStamp = " (24/12/2005  13:45)";

std::string Line(int depth, const std::string& name, std::string_view stamp = kStamp) {
    return std::string(2 * static_cast<std::size_t>(depth) + 4, ' ') + name + std::string(stamp);
}

// All 32 letter-case spellings of "abcde" in ascending byte order, enough to make an
// unstable sort show itself.
std::vector<std::string> CaseSpellings() {
    std::vector<std::string> names;
    for (int bits = 0; bits < 32; ++bits) {
        std::string name = "ABCDE";
        for (int i = 0; i < 5; ++i) {
            name[i] = static_cast<char>(name[i] + (bits >> (4 - i) & 1) * ('a' - 'A'));
        }
        names.push_back(name);
    }
    return names;
}

struct LayoutCase {
    const char* name;
    std::vector<Node> nodes;
    std::vector<std::string> expected;
};

TEST_F(FolderListingTest, Layouts) {
    std::vector<LayoutCase> cases = {
        {"one file", {{"a.txt", kTime}}, {"    a.txt (24/12/2005  13:45)"}},
        {"files descending, only A-Z folded",
         {{"a.txt", kTime}, {"_x", kTime}, {"c.txt", kTime}, {"B.TXT", kTime}},
         {Line(0, "c.txt"), Line(0, "B.TXT"), Line(0, "a.txt"), Line(0, "_x")}},
        {"the time stamp is part of the sorted text",
         {{"Y.txt", Utc(2000, 1, 1, 0, 0)}, {"y.txt", Utc(2000, 1, 2, 0, 0)}},
         {Line(0, "y.txt", " (02/01/2000  00:00)"), Line(0, "Y.txt", " (01/01/2000  00:00)")}},
        {"text after the name decides, not the name alone",
         {{"a", kTime}, {"a\x1f", kTime}},
         {Line(0, "a"), Line(0, "a\x1f")}},
        {"bytes above 0x7f compare unsigned",
         {{"z", kTime}, {"\xc3\xa4", kTime}},
         {Line(0, "\xc3\xa4"), Line(0, "z")}},
        {"subfolders ascending, before the folder's files",
         {{"0.txt", kTime}, {"b/in_b", kTime}, {"a/in_a", kTime}, {"A/in_A", kTime}},
         {Line(1, "in_A"), Line(1, "in_a"), Line(1, "in_b"), Line(0, "0.txt")}},
        {"two levels of indentation",
         {{"top", kTime}, {"d1/mid", kTime}, {"d1/d2/deep", kTime}},
         {Line(2, "deep"), Line(1, "mid"), Line(0, "top")}},
        {"seconds are cut, not rounded",
         {{"f", Utc(2007, 3, 4, 9, 5, 59)}},
         {Line(0, "f", " (04/03/2007  09:05)")}},
        {"first year of the epoch",
         {{"f", Utc(1970, 1, 1, 0, 0)}},
         {Line(0, "f", " (01/01/1970  00:00)")}},
        {"year after 2038",
         {{"f", Utc(2100, 2, 28, 23, 59)}},
         {Line(0, "f", " (28/02/2100  23:59)")}},
        {"hidden entries are listed",
         {{".hidden", kTime}, {"...", kTime}},
         {Line(0, ".hidden"), Line(0, "...")}},
        {"empty folder", {}, {}},
        {"only empty subfolders", {{"e1/"}, {"e2/e3/"}}, {}},
    };
    LayoutCase spellings{"many texts equal after folding keep byte order", {}, {}};
    for (const std::string& name : CaseSpellings()) {
        spellings.nodes.insert(spellings.nodes.begin(), {name, kTime});
        spellings.expected.push_back(Line(0, name));
    }
    cases.push_back(std::move(spellings));
    int number = 0;
    for (const LayoutCase& row : cases) {
        SCOPED_TRACE(row.name);
        const std::string folder = std::to_string(++number);  // each case in a folder of its own
        Build(row.nodes, folder);
        EXPECT_EQ(List(At(folder)), row.expected);
    }
}

TEST_F(FolderListingTest, EmptyAndMissingPaths) {
    TextDocument empty(CodePage::None);
    EXPECT_FALSE(LoadFolder(empty, "", OptionMap()));
    EXPECT_EQ(empty.GetName(), "");
    EXPECT_EQ(empty.GetLineCount(), 0);

    EXPECT_EQ(List(At("missing")), std::vector<std::string>{});
}

// Trailing slashes are ignored but kept in the name; the options are copied and the lines
// hashed.
TEST_F(FolderListingTest, LoadsUnderTheGivenNameWithItsOptions) {
    Build({{"sub/f", kTime}, {"g", kTime}});
    OptionMap options;
    options.Append("case;yes");
    options.Append("indent;no");
    TextDocument document(CodePage::None);
    ASSERT_TRUE(LoadFolder(document, root_ + "///", options));
    EXPECT_EQ(document.GetName(), root_ + "///");
    EXPECT_EQ(LinesOf(document), (std::vector<std::string>{Line(1, "f"), Line(0, "g")}));
    EXPECT_EQ(document.GetOptions().Entries(), options.Entries());
    EXPECT_EQ(document.GetLineHashes().size(), 2u);
}

TEST_F(FolderListingTest, TimeIsUtcWhateverTheTimeZone) {
    Build({{"f", Utc(2010, 6, 30, 23, 30)}});
    {
        testing::ScopedEnvironment environment;
        environment.Set("TZ", "FAR-13:45");
        ::tzset();
        EXPECT_EQ(List(root_), std::vector<std::string>{Line(0, "f", " (30/06/2010  23:30)")});
    }
    ::tzset();
}

std::string Fingerprint(std::string_view content) {
    ContentHash hash;
    hash.Update(std::as_bytes(std::span(content.data(), content.size())));
    return HexDigits(hash.Finish());
}

TEST_F(FolderListingTest, ContentLinesMatchByContentWhateverTheTime) {
    const time_t other = Utc(2020, 1, 1, 0, 0);
    const std::string big(300 * 1024, 'b');
    struct Case {
        const char* name;
        std::vector<Node> left;
        std::vector<Node> right;
        bool equal;
    };
    const Case cases[] = {
        {"same content, other times", {{"a", kTime, "abc"}}, {{"a", other, "abc"}}, true},
        {"same size and time, other content", {{"a", kTime, "abc"}}, {{"a", kTime, "abd"}}, false},
        {"a zero byte more", {{"a", kTime, "abc"}}, {{"a", kTime, std::string("abc\0", 4)}}, false},
        {"renamed subfolder", {{"s/a", kTime, "q"}}, {{"t/a", other, "q"}}, true},
        {"larger than the read buffer", {{"a", kTime, big}}, {{"a", other, big}}, true},
        {"last byte of a large file", {{"a", kTime, big}}, {{"a", kTime, big + "c"}}, false},
    };
    int number = 0;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const std::string left = "l" + std::to_string(++number);
        const std::string right = "r" + std::to_string(number);
        Build(row.left, left);
        Build(row.right, right);
        EXPECT_EQ(List(At(left), kByContents) == List(At(right), kByContents), row.equal);
    }
}

TEST_F(FolderListingTest, SpecialFilesAreListedButNeverOpened) {
    Build({{"sub/"}, {"a.txt", kTime, "hello"}});
    ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0644), 0);
    SetTime(At("pipe"), kTime, 0);
    const testing::SocketFile listener(At("sub/sock"));
    Link("/dev/null", "null");
    ::alarm(10);  // a blocking open would otherwise hang the run
    const std::vector<std::string> byTime = List(root_);
    const std::vector<std::string> byContents = List(root_, kByContents);
    ::alarm(0);
    ASSERT_EQ(byTime.size(), 4u);
    EXPECT_EQ(byTime[1], Line(0, "pipe"));
    EXPECT_EQ(byContents, (std::vector<std::string>{
                              Line(1, "sock", " (Socket)"), Line(0, "pipe", " (FIFO)"),
                              Line(0, "null", " (Ger\xC3\xA4t)"),
                              Line(0, "a.txt", " (5 Bytes, " + Fingerprint("hello") + ")")}));
}

TEST_F(FolderListingTest, EachFolderBlockBeginsASection) {
    Build({{"top", kTime}, {"sub/a", kTime}, {"sub/b", kTime}, {"sub/deeper/c", kTime}, {"e/"}});
    TextDocument document(CodePage::None);
    ASSERT_TRUE(LoadFolder(document, root_, OptionMap()));
    ASSERT_EQ(document.GetLineCount(), 4);
    const std::optional<std::string_view> titles[] = {"sub/deeper", "sub", std::nullopt, ""};
    for (LineIndex i = 0; i < 4; ++i) {
        EXPECT_EQ(document.GetSectionTitle(i), titles[i]) << i;
    }
}

TEST_F(FolderListingTest, LinksAreFollowedOnceAndNeverRoundACircle) {
    struct Case {
        const char* name;
        std::vector<Node> nodes;
        std::vector<std::pair<std::string, std::string>> links;  // target, link
        std::string listed;
        std::vector<std::string> expected;
        std::uint64_t notFollowed;
    };
    const Case cases[] = {
        {"link to a folder enclosing the listed one",
         {{"1/top/sub/f", kTime}, {"1/other/g", kTime}},
         {{"../../..", "1/top/sub/up"}, {"../../other", "1/top/sub/side"}},
         "1/top",
         {Line(2, "g"), Line(1, "f")},
         1},
        {"two links to one folder",
         {{"2/x/f", kTime}},
         {{"x", "2/l1"}, {"x", "2/l2"}},
         "2",
         {Line(1, "f"), Line(1, "f")},
         1},
        // b is descended twice: once through the link inside a, once itself; c's links lead
        // back into the path being listed. A file link shows its target's time.
        {"links into the listed path",
         {{"3/target", Utc(2001, 2, 3, 4, 5)}, {"3/a/"}, {"3/b/in_b", kTime}, {"3/c/c1/f", kTime}},
         {{"nowhere", "3/dangling"},
          {"target", "3/file_link"},
          {"../b", "3/a/to_sibling"},
          {"..", "3/c/c1/up"},
          {"../..", "3/c/c1/to_root"},
          {".", "3/c/self"}},
         "3",
         {Line(2, "in_b"), Line(1, "in_b"), Line(2, "f"), Line(0, "target", " (03/02/2001  04:05)"),
          Line(0, "file_link", " (03/02/2001  04:05)")},
         3},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Build(row.nodes);
        for (const auto& [target, link] : row.links) {
            Link(target, link);
            SetTime(At(link), kTime, AT_SYMLINK_NOFOLLOW);
        }
        FolderListingResult result;
        EXPECT_EQ(List(At(row.listed), {}, &result), row.expected);
        EXPECT_EQ(result.linksNotFollowed, row.notFollowed);
    }
}

TEST_F(FolderListingTest, ChainOfDoubleLinksIsWalkedInLinearTime) {
    constexpr int kFolders = 25;
    std::vector<Node> nodes;
    for (int i = 1; i <= kFolders; ++i) {
        nodes.push_back({"d" + std::to_string(100 + i) + "/f", kTime});
    }
    Build(nodes);
    for (int i = 1; i < kFolders; ++i) {
        const std::string folder = "d" + std::to_string(100 + i);
        const std::string next = "../d" + std::to_string(101 + i);
        Link(next, folder + "/a");
        Link(next, folder + "/b");
    }
    const auto start = std::chrono::steady_clock::now();
    // The chain through the first folder, then every other folder once more by itself.
    EXPECT_EQ(List(root_).size(), 2u * kFolders - 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(FolderListingTest, ProcSelfDoesNotLeadIntoTheWholeFileSystem) {
    if (::access("/proc/self/root", F_OK) != 0) {
        GTEST_SKIP() << "no /proc";
    }
    FolderListingResult result;
    List("/proc/self", {FolderComparison::ByTime, 2'000'000}, &result);
    EXPECT_FALSE(result.stoppedAfter);
}

TEST_F(FolderListingTest, EntryLimitEndsTheListing) {
    Build({{"a", kTime}, {"b", kTime}, {"c", kTime}, {"d", kTime}, {"s/e", kTime}});
    for (const std::uint64_t limit : {3u, 5u, 6u}) {
        SCOPED_TRACE(limit);
        FolderListingResult result;
        const std::size_t lines = List(root_, {FolderComparison::ByTime, limit}, &result).size();
        EXPECT_EQ(result.stoppedAfter, limit < 6 ? std::optional(limit) : std::nullopt);
        EXPECT_LE(lines, limit < 6 ? limit : 5u);
    }
}

// A chain of folders "d" that no path can name, with the file at its end; or, when the
// file is removed, the chain is removed too.
void Chain(const std::string& top, int levels, const Node& file, bool create) {
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels; ++i) {
        if (create) {
            ::mkdirat(fd, "d", 0755);
        }
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(std::exchange(fd, next));
    }
    if (create) {
        const int out = ::openat(fd, file.path.c_str(), O_WRONLY | O_CREAT, 0644);
        EXPECT_EQ(::write(out, file.content.data(), file.content.size()), std::ssize(file.content));
        const timespec times[2] = {{file.modified, 0}, {file.modified, 0}};
        ::futimens(out, times);
        ::close(out);
    }
    for (int i = 0; !create && i <= levels; ++i) {
        ::unlinkat(fd, i == 0 ? file.path.c_str() : "d", i == 0 ? 0 : AT_REMOVEDIR);
        ::close(std::exchange(fd, ::openat(fd, "..", O_RDONLY | O_DIRECTORY)));
    }
    ::close(fd);
}

TEST_F(FolderListingTest, DepthIsNotBoundedByThePathLength) {
    constexpr int kLevels = 2100;
    Build({{"left/"}, {"right/"}});
    const Node left{"f", kTime, "same"};
    const Node right{"f", Utc(2020, 1, 1, 0, 0), "same"};
    Chain(At("left"), kLevels, left, true);
    Chain(At("right"), kLevels, right, true);
    // Also with few descriptors allowed: the walk keeps only a share of them open.
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    rlimit few = saved;
    few.rlim_cur = 40;
    ::setrlimit(RLIMIT_NOFILE, &few);
    FolderListingResult result;
    const std::vector<std::string> byTime = List(At("left"), {}, &result);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(byTime, std::vector<std::string>{Line(kLevels, "f")});
    EXPECT_EQ(result.otherFailures, 0u);
    EXPECT_NE(List(At("right")), byTime);
    EXPECT_EQ(List(At("right"), kByContents), List(At("left"), kByContents));
    Chain(At("left"), kLevels, left, false);
    Chain(At("right"), kLevels, right, false);
}

TEST_F(FolderListingTest, UnreadableEntriesAreLeftOutOrMarkedAndCounted) {
    Build({{"closed/hidden", kTime},
           {"unsearchable/x", kTime},
           {"unsearchable/y", kTime},
           {"open/seen", kTime},
           {"secret", kTime},
           {"top", kTime}});
    Lock("closed", 0);
    Lock("unsearchable", 0444);
    Lock("secret", 0);
    Link("nowhere", "dangling");
    const testing::ChildOutcome outcome = testing::RunUnprivileged([&] {
        FolderListingResult result;
        const std::vector<std::string> lines = List(root_, kByContents, &result);
        const std::string x = " (1 Bytes, " + Fingerprint("x") + ")";
        const std::vector<std::string> expected{Line(1, "seen", x), Line(0, "top", x),
                                                Line(0, "secret", " (unlesbar)")};
        return lines == expected && result.noPermission == 3 && result.brokenLinks == 1 &&
               result.unreadableFiles == 1 && result.otherFailures == 0;
    });
    if (outcome == testing::ChildOutcome::NoPrivilegesToDrop) {
        GTEST_SKIP() << "cannot drop privileges";
    }
    EXPECT_EQ(outcome, testing::ChildOutcome::Passed);
}

TEST(FolderListingNotesTest, OneLinePerKindOfNote) {
    FolderListingResult result;
    EXPECT_TRUE(FolderListingNotes(result, 1).empty());
    result.noPermission = 1;
    result.brokenLinks = 2;
    result.stoppedAfter = 10;
    EXPECT_EQ(FolderListingNotes(result, 2),
              (std::vector<std::string>{
                  "Hinweis: Verzeichnis 2: 1 Eintrag ausgelassen (keine Leserechte)",
                  "Hinweis: Verzeichnis 2: 2 Eintr\xC3\xA4ge ausgelassen (Verkn\xC3\xBCpfung ohne "
                  "Ziel)",
                  "Hinweis: Verzeichnis 2: Auflistung nach 10 Eintr\xC3\xA4gen abgebrochen "
                  "(Obergrenze)"}));
}

}  // namespace
}  // namespace tandemix
