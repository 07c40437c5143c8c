#include "folders/TreeComparison.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/ComparisonOptions.h"
#include "folders/BriefListing.h"
#include "folders/ContentComparison.h"
#include "folders/FirstPieceReader.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace tandemix {
namespace {

using testing::TempDir;

// A path ending in '/' is a folder, anything else a file with the content.
struct Node {
    std::string path;
    std::string content;
};
using Tree = std::vector<Node>;

void Build(const std::string& root, const Tree& tree) {
    std::filesystem::create_directories(root);
    for (const Node& node : tree) {
        const std::filesystem::path path = root + "/" + node.path;
        std::filesystem::create_directories(node.path.ends_with('/') ? path : path.parent_path());
        if (!node.path.ends_with('/')) {
            std::ofstream(path, std::ios::binary) << node.content;
        }
    }
}

class TreeComparisonTest : public ::testing::Test {
protected:
    std::string Side(int side) const { return dir_.Path() + "/" + std::to_string(side); }
    void Build(const Tree& tree1, const Tree& tree2) const {
        tandemix::Build(Side(1), tree1);
        tandemix::Build(Side(2), tree2);
    }
    TreeComparison Compare(const TreeChoices& choices = {}) const {
        return CompareTrees(Side(1), Side(2), choices);
    }
    // The entry of the path; an empty one, and a failure, when there is none.
    const TreeEntry& Find(const TreeComparison& comparison, std::string_view path) const {
        for (const TreeEntry& entry : comparison.entries) {
            if (entry.path == path) {
                return entry;
            }
        }
        ADD_FAILURE() << "no entry " << path;
        static const TreeEntry kNone;
        return kNone;
    }

    TempDir dir_;
};

const std::string kLong(100, 'm');  // long enough to be taken as moved
const std::string kLonger(100, 'n');

struct BriefCase {
    const char* name;
    Tree tree1;
    Tree tree2;
    std::vector<std::string> exclusions;
    std::string expected;
};

const BriefCase kBriefCases[] = {
    {"EqualTreesHaveNoLines",
     {{"a", "x"}, {"sub/b", "y"}, {"empty/", ""}},
     {{"a", "x"}, {"sub/b", "y"}, {"empty/", ""}},
     {},
     ""},
    {"PairedByNameNotByPosition",
     {{"notes.txt", "n1"}, {"todo.txt", "t"}},
     {{"index.txt", "i"}, {"notes.txt", "n2"}},
     {},
     "nur-in-2\tindex.txt\nge\xC3\xA4ndert\tnotes.txt\nnur-in-1\ttodo.txt\n"},
    {"EqualSizeOtherBytesBeyondTheFirstPiece",
     {{"big", std::string(300'000, 'a') + "1"}},
     {{"big", std::string(300'000, 'a') + "2"}},
     {},
     "ge\xC3\xA4ndert\tbig\n"},
    {"FilesOfAPieceAndMoreAreSizedBeforeTheyAreReadOn",
     {{"piece", std::string(128 * 1024, 'p')},
      {"same", std::string(300'000, 'q')},
      {"longer", std::string(200'000, 'r')}},
     {{"piece", std::string(128 * 1024, 'p')},
      {"same", std::string(300'000, 'q')},
      {"longer", std::string(200'001, 'r')}},
     {},
     "ge\xC3\xA4ndert\tlonger\n"},
    {"OneSidedFolderIsOneLine",
     {{"keep", "k"}, {"gone/a", "1"}, {"gone/deeper/b", "2"}},
     {{"keep", "k"}, {"new/c/d", "3"}},
     {},
     "nur-in-1\tgone\nnur-in-2\tnew\n"},
    {"KindsDifferWithoutWhatIsBelow", {{"k/inside", "1"}}, {{"k", "1"}}, {}, "art\tk\n"},
    {"FolderEntriesComeBeforeLongerNames",
     {{"a/b", "1"}, {"a.txt", "x"}},
     {{"a/b", "2"}},
     {},
     "ge\xC3\xA4ndert\ta/b\nnur-in-1\ta.txt\n"},
    {"RenamedFileIsMoved",
     {{"old", kLong}, {"sub/x", kLonger}},
     {{"new", kLong}, {"sub/y", kLonger}},
     {},
     "verschoben\told\tnew\nverschoben\tsub/x\tsub/y\n"},
    {"EmptyAndTinyFilesAreNeverMoved",
     {{"empty1", ""}, {"s63", std::string(63, 'e')}, {"s64", std::string(64, 'f')}},
     {{"empty2", ""}, {"t63", std::string(63, 'e')}, {"t64", std::string(64, 'f')}},
     {},
     "nur-in-1\tempty1\nnur-in-2\tempty2\nnur-in-1\ts63\nverschoben\ts64\tt64\n"
     "nur-in-2\tt63\n"},
    {"ContentTwiceOnOneSideIsNoMove",
     {{"copy1", kLong}, {"copy2", kLong}},
     {{"single", kLong}},
     {},
     "nur-in-1\tcopy1\nnur-in-1\tcopy2\nnur-in-2\tsingle\n"},
    {"SameSizeOtherContentStillMoves",
     {{"one", kLong}, {"two", kLonger}},
     {{"uno", kLong}, {"zwei", std::string(100, 'z')}},
     {},
     "verschoben\tone\tuno\nnur-in-1\ttwo\nnur-in-2\tzwei\n"},
    {"FileIntoANewFolderIsNotAMove",
     {{"x", kLong}},
     {{"new/x", kLong}},
     {},
     "nur-in-2\tnew\nnur-in-1\tx\n"},
    {"ExcludedNamesAndTheirSubtreesAreLeftOut",
     {{".git/HEAD", "1"}, {"m.pyc", "1"}, {"src/m.pyc", "a"}, {"src/m.py", "same"}},
     {{".git/HEAD", "2"}, {"src/m.py", "same"}, {"src/n.pyc", "b"}},
     {".git", "*.pyc"},
     ""},
    {"PatternsMatchNamesNotPaths",
     {{"src/a", "1"}},
     {{"src/a", "2"}},
     {"src/a"},
     "ge\xC3\xA4ndert\tsrc/a\n"},
    {"NamesKeepTheirBytesWithThreeEscapes",
     {{"tab\tname", "1"}, {"line\nfeed", "1"}, {"back\\slash", "1"}, {"latin\xFF", "1"}},
     {{"tab\tname", "2"}, {"line\nfeed", "2"}, {"back\\slash", "2"}, {"latin\xFF", "2"}},
     {},
     "ge\xC3\xA4ndert\tback\\\\slash\nge\xC3\xA4ndert\tlatin\xFF\n"
     "ge\xC3\xA4ndert\tline\\nfeed\nge\xC3\xA4ndert\ttab\\tname\n"},
};

TEST_F(TreeComparisonTest, BriefListings) {
    for (const BriefCase& row : kBriefCases) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        tandemix::Build(dir.Path() + "/1", row.tree1);
        tandemix::Build(dir.Path() + "/2", row.tree2);
        const TreeComparison comparison =
            CompareTrees(dir.Path() + "/1", dir.Path() + "/2", {.exclusions = row.exclusions});
        EXPECT_EQ(BriefListing(comparison), row.expected);
        EXPECT_FALSE(Incomplete(comparison));
        EXPECT_TRUE(std::is_sorted(
            comparison.entries.begin(), comparison.entries.end(),
            [](const TreeEntry& a, const TreeEntry& b) { return PathBefore(a.path, b.path); }));
    }
}

// Adds under the name an equal pair ("same") and a pair differing in its last byte only
// ("x"), and gives the latter's line of the brief listing.
std::string AddPairs(Tree& tree1, Tree& tree2, const std::string& name, const std::string& bytes) {
    for (Tree* tree : {&tree1, &tree2}) {
        tree->push_back({name + "same", bytes});
        tree->push_back({name + "x", bytes + (tree == &tree1 ? "1" : "2")});
    }
    return "ge\xC3\xA4ndert\t" + name + "x\n";
}

// Enough pairs for several batches on both threads, with sizes on both sides of the pieces
// read at once and file by file.
TEST_F(TreeComparisonTest, ManyPairsAroundThePieceSizesAreJudgedByEveryByte) {
    constexpr std::size_t k16 = 16 * 1024;
    constexpr std::size_t k128 = 128 * 1024;
    const std::size_t sizes[] = {0, 1, 100, k16 - 1, k16, k16 + 1, k128 - 1, k128, k128 + 1};
    Tree tree1;
    Tree tree2;
    std::vector<std::string> changed;
    for (int folder = 0; folder < 8; ++folder) {
        for (const std::size_t size : sizes) {
            changed.push_back(AddPairs(tree1, tree2,
                                       "d" + std::to_string(folder) + "/" + std::to_string(size),
                                       std::string(size, static_cast<char>('a' + folder))));
        }
    }
    Build(tree1, tree2);
    std::sort(changed.begin(), changed.end());
    std::string expected;
    for (const std::string& line : changed) {
        expected += line;
    }
    EXPECT_EQ(BriefListing(Compare()), expected);
}

// Where the process may open few descriptors, only some folders are held open from the
// walk; files in the others are found from the top again.
TEST_F(TreeComparisonTest, FoldersBeyondTheDescriptorsHeldOpenAreFoundFromTheTop) {
    Tree tree1;
    Tree tree2;
    std::string expected;
    for (int folder = 10; folder < 50; ++folder) {
        expected += AddPairs(tree1, tree2, "f" + std::to_string(folder) + "/", "s");
    }
    Build(tree1, tree2);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit few = saved;
    few.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 300);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    const TreeComparison comparison = Compare();
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(BriefListing(comparison), expected);
    EXPECT_FALSE(Incomplete(comparison));
}

// The folders a comparison held open are closed, each once, many at a time or one by one.
TEST(CloseAllTest, ClosesEveryDescriptorOnce) {
    for (const std::size_t count : {3, 300}) {
        std::vector<UniqueFd> fds;
        std::vector<int> numbers;
        for (std::size_t i = 0; i < count; ++i) {
            fds.emplace_back(::open("/dev/null", O_RDONLY | O_CLOEXEC));
            ASSERT_TRUE(fds.back().IsOpen());
            numbers.push_back(fds.back().Get());
        }
        fds.emplace_back();  // one already closed
        CloseAll(fds);
        EXPECT_TRUE(fds.empty());
        for (const int number : numbers) {
            EXPECT_EQ(::fcntl(number, F_GETFD), -1) << count << " descriptors, " << number;
        }
    }
}

TEST_F(TreeComparisonTest, EntriesCarryFoldersStatusesAndWhatIsBelowAOneSidedFolder) {
    Build({{"same/a", "1"}, {"differs/deep/b", "1"}, {"moved/old", kLong}},
          {{"same/a", "1"}, {"differs/deep/b", "2"}, {"moved/new", kLong}, {"added/c", "3"}});
    const TreeComparison comparison = Compare();
    EXPECT_EQ(Find(comparison, "same").status, EntryStatus::Equal);
    EXPECT_EQ(Find(comparison, "same/a").status, EntryStatus::Equal);
    EXPECT_EQ(Find(comparison, "differs").status, EntryStatus::Changed);
    EXPECT_EQ(Find(comparison, "differs/deep").status, EntryStatus::Changed);
    EXPECT_EQ(Find(comparison, "moved").status, EntryStatus::Changed);
    EXPECT_EQ(Find(comparison, "added").status, EntryStatus::OnlyIn2);
    EXPECT_TRUE(Find(comparison, "added/c").insideOneSided);
    EXPECT_EQ(Find(comparison, "added/c").sides[1].size, 1u);
    EXPECT_EQ(Find(comparison, "differs/deep/b").sides[0].size, 1u);
    EXPECT_EQ(Find(comparison, "differs/deep/b").sides[1].size, 1u);
    EXPECT_EQ(Find(comparison, "moved/old").movedTo, "moved/new");
}

TEST_F(TreeComparisonTest, BinaryFilesAreFoundByANulByteInTheirFirst8KiB) {
    const std::string late(kBinaryProbeBytes, 't');
    Build({{"bin", std::string("a\0b", 3)},
           {"grown", std::string("x\0", 2)},
           {"text", "abc"},
           {"late", late + "1" + std::string(1, '\0')}},
          {{"bin", std::string("a\0c", 3)},
           {"grown", "longer"},
           {"text", "abd"},
           {"late", late + "2" + std::string(1, '\0')}});
    const TreeComparison looked = Compare({.binaryCheck = BinaryCheck::Look});
    const std::vector<std::pair<std::string, bool>> expected{
        {"bin", true}, {"grown", true}, {"late", false}, {"text", false}};
    for (const auto& [path, binary] : expected) {
        EXPECT_EQ(Find(looked, path).status, EntryStatus::Changed) << path;
        EXPECT_EQ(Find(looked, path).binary, binary) << path;
    }
    EXPECT_FALSE(Find(Compare(), "bin").binary);
}

TEST_F(TreeComparisonTest, TwoFilesAreOneEntryWithoutAPath) {
    const std::string one = dir_.Write("one", "same");
    const std::string two = dir_.Write("two", "same");
    const std::string three = dir_.Write("three", "other");
    EXPECT_EQ(BriefListing(CompareTrees(one, two)), "");
    EXPECT_EQ(BriefListing(CompareTrees(one, three)), "ge\xC3\xA4ndert\t\n");
}

// Files whose lines all match under the rules are a status of their own: no difference for
// --brief, and their folder stays equal; any other change keeps a file changed.
TEST_F(TreeComparisonTest, FilesEqualUnderTheRulesAreNoDifference) {
    Build({{"s/log.txt", "12:00:01 start\n12:00:02  done\n"},
           {"s/note.txt", "# one\nkeep\n"},
           {"real.txt", "a\n"}},
          {{"s/log.txt", "13:10:11 start\n13:10:12 done \n"},
           {"s/note.txt", "# two\n# three\nkeep\n"},
           {"real.txt", "a b\n"}});
    ComparisonOptions rules;
    rules.ignoreSpaceChange = true;
    rules.ignoredText = {"[0-9]{2}:[0-9]{2}:[0-9]{2}"};
    rules.ignoredLines = {"^#"};
    const TreeComparison comparison = Compare({.options = BuildOptionMap(rules)});
    EXPECT_EQ(Find(comparison, "s/log.txt").status, EntryStatus::EqualUnderOptions);
    EXPECT_EQ(Find(comparison, "s/note.txt").status, EntryStatus::EqualUnderOptions);
    EXPECT_EQ(Find(comparison, "s").status, EntryStatus::Equal);
    EXPECT_EQ(BriefListing(comparison), "ge\xC3\xA4ndert\treal.txt\n");
    EXPECT_EQ(Find(Compare(), "s/log.txt").status, EntryStatus::Changed) << "without the rules";
}

TEST_F(TreeComparisonTest, SpecialFilesAreComparedByTypeWithoutOpeningThem) {
    Build({{"plain", "x"}}, {{"plain", "x"}});
    for (int side = 1; side <= 2; ++side) {
        ASSERT_EQ(::mkfifo((Side(side) + "/pipe").c_str(), 0600), 0);
    }
    ASSERT_EQ(::mkfifo((Side(1) + "/was-pipe").c_str(), 0600), 0);
    Build({}, {{"was-pipe", "now a file"}});
    testing::SocketFile socket(Side(2) + "/pipe-or-socket");
    ASSERT_EQ(::mkfifo((Side(1) + "/pipe-or-socket").c_str(), 0600), 0);
    // Devices through links: reading /dev/zero would never end.
    ASSERT_EQ(::symlink("/dev/null", (Side(1) + "/device").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", (Side(2) + "/device").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", (Side(1) + "/zero").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", (Side(2) + "/zero").c_str()), 0);
    // Opening a fifo without a writer would wait for ever.
    EXPECT_EQ(BriefListing(Compare()),
              "ge\xC3\xA4ndert\tdevice\nart\tpipe-or-socket\nart\twas-pipe\n");
}

TEST_F(TreeComparisonTest, LinksAreFollowedOutOfTheTree) {
    Build({}, {{"file", "outside"}, {"folder/x", "1"}});
    const std::string outside = dir_.Path() + "/outside";
    tandemix::Build(outside, {{"file", "outside"}, {"folder/x", "1"}});
    ASSERT_EQ(::symlink((outside + "/file").c_str(), (Side(1) + "/file").c_str()), 0);
    ASSERT_EQ(::symlink((outside + "/folder").c_str(), (Side(1) + "/folder").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (Side(1) + "/dangling").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (Side(2) + "/dangling").c_str()), 0);
    ASSERT_EQ(::symlink(".", (Side(1) + "/circle").c_str()), 0);
    ASSERT_EQ(::symlink(".", (Side(2) + "/circle").c_str()), 0);
    const TreeComparison comparison = Compare();
    // A link that leads nowhere cannot be compared: it says so, and the comparison is not
    // complete; a circle is not entered.
    EXPECT_EQ(BriefListing(comparison), "unlesbar\tdangling\n");
    EXPECT_TRUE(Incomplete(comparison));
    EXPECT_EQ(comparison.walks[0].brokenLinks, 1u);
    EXPECT_EQ(comparison.walks[0].linksNotFollowed, 1u);
}

TEST_F(TreeComparisonTest, EntryLimitMakesTheComparisonIncomplete) {
    Build({{"a", "1"}, {"b", "1"}, {"c", "1"}}, {{"a", "1"}, {"b", "1"}, {"c", "1"}});
    const TreeComparison comparison = Compare({.entryLimit = 2});
    EXPECT_EQ(comparison.walks[0].stoppedAfter, 2u);
    EXPECT_TRUE(Incomplete(comparison));
    EXPECT_FALSE(Incomplete(Compare({.entryLimit = 3})));
}

TEST_F(TreeComparisonTest, UnreadableFilesAndFoldersAreEntriesOfTheirOwn) {
    Build({{"secret", "abc"}, {"closed/x", "1"}, {"open", "1"}},
          {{"secret", "abd"}, {"closed/x", "1"}, {"open", "1"}});
    ASSERT_EQ(::chmod((Side(1) + "/secret").c_str(), 0), 0);
    ASSERT_EQ(::chmod((Side(2) + "/closed").c_str(), 0), 0);
    for (int side = 1; side <= 2; ++side) {
        ::chmod(dir_.Path().c_str(), 0755);
        ::chmod(Side(side).c_str(), 0755);
    }
    const testing::ChildOutcome outcome = testing::RunUnprivileged([&] {
        const TreeComparison comparison = Compare();
        return BriefListing(comparison) == "unlesbar\tclosed\nunlesbar\tsecret\n" &&
               Incomplete(comparison) && comparison.walks[0].unreadableFiles == 1 &&
               comparison.walks[1].noPermission == 1;
    });
    ::chmod((Side(2) + "/closed").c_str(), 0755);
    if (outcome == testing::ChildOutcome::NoPrivilegesToDrop) {
        GTEST_SKIP() << "cannot drop privileges";
    }
    EXPECT_EQ(outcome, testing::ChildOutcome::Passed);
}

// A file that changed after the walk is judged by what it holds when it is read: never
// equal unless its bytes are, and never waited on.
TEST_F(TreeComparisonTest, FilesChangedSinceTheWalkAreJudgedByTheirBytesNow) {
    Build({{"grew", "abc"}, {"shrank", "abc"}, {"same", "abc"}, {"empty", ""}, {"dir", ""}},
          {{"grew", "abcd"}, {"shrank", "ab"}, {"same", "abc"}, {"dir/", ""}});
    ASSERT_EQ(::mkfifo((Side(2) + "/empty").c_str(), 0600), 0);
    struct Case {
        const char* path;
        std::optional<std::uint64_t> listedSize;  // nothing: not sized by the walk
        Verdict expected;
    };
    const Case cases[] = {
        {"grew", 3, Verdict::Different},     {"shrank", 3, Verdict::Different},
        {"grew", {}, Verdict::Different},    {"same", 2, Verdict::Same},
        {"empty", {}, Verdict::Unreadable2},  // a fifo now: not an empty file
        {"gone", {}, Verdict::Unreadable1},  {"dir", {}, Verdict::Unreadable2},
    };
    ContentComparer comparer({Side(1), Side(2)}, Sharing::SideBySide);
    for (const Case& row : cases) {
        SCOPED_TRACE(row.path);
        const std::string path = row.path;
        const FileAtPath one{0, &path, row.listedSize};
        const FileAtPath two{1, &path, row.listedSize};
        const FilePair pair{{&one, &two}, PairWork::CompareBytes};
        EXPECT_EQ(comparer.Compare({&pair, 1}, BinaryCheck::Skip)[0].verdict, row.expected);
    }
}

}  // namespace
}  // namespace tandemix
