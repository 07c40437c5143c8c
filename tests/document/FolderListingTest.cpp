#include "document/FolderListing.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace tandemix {
namespace {

time_t Utc(int year, int month, int day, int hour, int minute, int second = 0) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return ::timegm(&fields);
}

// A path ending in '/' is a folder, anything else a file with the given time.
struct Node {
    std::string path;
    time_t modified = 0;
};

std::vector<std::string> LinesOf(const TextDocument& document) {
    std::vector<std::string> lines;
    for (LineIndex i = 0; i < document.GetLineCount(); ++i) {
        lines.emplace_back(document.GetLineText(i));
    }
    return lines;
}

std::vector<std::string> List(const std::string& path) {
    TextDocument document(CodePage::None);
    EXPECT_TRUE(LoadFolder(document, path, OptionMap()));
    return LinesOf(document);
}

class FolderListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Under /tmp so that an unprivileged user can reach the tree.
        char pattern[] = "/tmp/tandemix-folders-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
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

    void Build(const std::vector<Node>& nodes) const {
        for (const Node& node : nodes) {
            const std::filesystem::path path = At(node.path);
            std::filesystem::create_directories(node.path.ends_with('/') ? path
                                                                         : path.parent_path());
            if (!node.path.ends_with('/')) {
                std::ofstream(path) << "x";
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

    void Lock(const std::string& relative) {
        locked_.push_back(At(relative));
        ASSERT_EQ(::chmod(locked_.back().c_str(), 0), 0);
    }

    std::string root_;
    std::vector<std::string> locked_;
};

const time_t kTime = Utc(2005, 12, 24, 13, 45);
constexpr const char* kStamp = " (24/12/2005  13:45)";

std::string Line(int depth, const std::string& name, const char* stamp = kStamp) {
    return std::string(2 * static_cast<std::size_t>(depth) + 4, ' ') + name + stamp;
}

// All 32 letter-case spellings of "abcde" in ascending byte order, enough to make an
// unstable sort show itself.
std::vector<std::string> CaseSpellings() {
    std::vector<std::string> names;
    for (int bits = 0; bits < 32; ++bits) {
        std::string name = "abcde";
        for (int i = 0; i < 5; ++i) {
            if ((bits >> (4 - i) & 1) == 0) {
                name[i] = static_cast<char>(name[i] - 'a' + 'A');
            }
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
        {"lower-case names descending",
         {{"a.txt", kTime}, {"b.txt", kTime}},
         {Line(0, "b.txt"), Line(0, "a.txt")}},
        {"equal after folding keep ascending byte order",
         {{"x.txt", kTime}, {"X.txt", kTime}},
         {Line(0, "X.txt"), Line(0, "x.txt")}},
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
        // Each case in a folder of its own.
        const std::string folder = std::to_string(++number);
        std::vector<Node> nodes{{folder + "/"}};
        for (const Node& node : row.nodes) {
            nodes.push_back({folder + "/" + node.path, node.modified});
        }
        Build(nodes);
        EXPECT_EQ(List(At(folder)), row.expected);
    }
}

TEST_F(FolderListingTest, TrailingSlashesAreIgnoredButKeptInTheName) {
    Build({{"sub/f", kTime}});
    TextDocument document(CodePage::None);
    ASSERT_TRUE(LoadFolder(document, root_ + "///", OptionMap()));
    EXPECT_EQ(document.GetName(), root_ + "///");
    EXPECT_EQ(LinesOf(document), std::vector<std::string>{Line(1, "f")});
}

TEST_F(FolderListingTest, EmptyAndMissingPaths) {
    TextDocument empty(CodePage::None);
    EXPECT_FALSE(LoadFolder(empty, "", OptionMap()));
    EXPECT_EQ(empty.GetName(), "");
    EXPECT_EQ(empty.GetLineCount(), 0);

    EXPECT_EQ(List(At("missing")), std::vector<std::string>{});
}

TEST_F(FolderListingTest, CopiesOptionsAndHashesLines) {
    Build({{"a", kTime}, {"b", kTime}});
    OptionMap options;
    options.Append("case;yes");
    options.Append("indent;no");
    TextDocument document(CodePage::None);
    ASSERT_TRUE(LoadFolder(document, root_, options));
    EXPECT_EQ(document.GetOptions().Entries(), options.Entries());
    EXPECT_EQ(document.GetLineCount(), 2);
    EXPECT_EQ(document.GetLineHashes().size(), 2u);
}

TEST_F(FolderListingTest, TimeIsUtcWhateverTheTimeZone) {
    Build({{"f", Utc(2010, 6, 30, 23, 30)}});
    const char* saved = std::getenv("TZ");
    const std::optional<std::string> old = saved ? std::optional<std::string>(saved) : std::nullopt;
    ::setenv("TZ", "FAR-13:45", 1);
    ::tzset();
    const std::vector<std::string> lines = List(root_);
    old ? ::setenv("TZ", old->c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(lines, std::vector<std::string>{Line(0, "f", " (30/06/2010  23:30)")});
}

TEST_F(FolderListingTest, SymbolicLinks) {
    Build({{"target", Utc(2001, 2, 3, 4, 5)}, {"a/"}, {"b/in_b", kTime}, {"c/c1/f", kTime}});
    Link("nowhere", "dangling");
    Link("target", "file_link");
    SetTime(At("file_link"), kTime, AT_SYMLINK_NOFOLLOW);
    Link("../b", "a/to_sibling");
    Link("..", "c/c1/up");
    Link("../..", "c/c1/to_root");
    Link(".", "c/self");
    // b is descended twice: once through the link inside a, once itself; c's links lead
    // back into the path being listed and are skipped.
    EXPECT_EQ(List(root_),
              (std::vector<std::string>{Line(2, "in_b"), Line(1, "in_b"), Line(2, "f"),
                                        Line(0, "target", " (03/02/2001  04:05)"),
                                        Line(0, "file_link", " (03/02/2001  04:05)")}));
}

TEST_F(FolderListingTest, FifoIsListedWithoutBeingOpened) {
    Build({});
    ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0644), 0);
    SetTime(At("pipe"), kTime, 0);
    ::alarm(10);  // a blocking open would otherwise hang the run
    EXPECT_EQ(List(root_), std::vector<std::string>{Line(0, "pipe")});
    ::alarm(0);
}

TEST_F(FolderListingTest, UnreadableSubfolderContributesNothing) {
    Build({{"closed/hidden", kTime}, {"open/seen", kTime}, {"top", kTime}});
    Lock("closed");
    const std::vector<std::string> expected{Line(1, "seen"), Line(0, "top")};
    if (::geteuid() != 0) {
        EXPECT_EQ(List(root_), expected);
        return;
    }
    // Permission bits do not stop root, so an unprivileged child does the listing.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(2);
        }
        TextDocument document(CodePage::None);
        const bool listed = LoadFolder(document, root_, OptionMap());
        ::_exit(listed && LinesOf(document) == expected ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) {
        GTEST_SKIP() << "cannot drop privileges";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace tandemix
