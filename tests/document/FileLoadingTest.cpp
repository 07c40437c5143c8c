#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "document/LineReader.h"
#include "document/TextDocument.h"
#include "support/DocumentLines.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"

namespace tandemix {
namespace {

using Lines = std::vector<std::string>;
using testing::LinesOf;
using testing::RecordingDebugLog;
using testing::TempDir;

enum Mode {
    Plain,
    KeepEmpty,
    BreakAfterTags,
    BreakKeepEmpty,
    DeleteTags,
    DeleteTagsKeepEmpty,
    BothHtml
};

OptionMap OptionsFor(Mode mode) {
    OptionMap options;
    const bool keepEmpty =
        mode == KeepEmpty || mode == BreakKeepEmpty || mode == DeleteTagsKeepEmpty;
    const bool breakTags = mode == BreakAfterTags || mode == BreakKeepEmpty || mode == BothHtml;
    const bool deleteTags = mode == DeleteTags || mode == DeleteTagsKeepEmpty || mode == BothHtml;
    options.Set(OptionMap::kCase, "yes");
    options.Set(OptionMap::kIndent, "yes");
    options.Set(OptionMap::kLineBreakAfterEachTag, breakTags ? "yes" : "no");
    options.Set(OptionMap::kDeleteAllTags, deleteTags ? "yes" : "no");
    options.Set(OptionMap::kShowEmptyLines, keepEmpty ? "yes" : "no");
    return options;
}

struct LoadCase {
    const char* name;
    Mode mode;
    std::string bytes;
    Lines expected;
};

class FileLoadingTest : public ::testing::Test {
protected:
    Lines Load(const std::string& bytes, const OptionMap& options) {
        TextDocument document(CodePage::Windows1252);
        const std::string path = dir_.Write("input.txt", bytes);
        EXPECT_TRUE(document.LoadFile(path, options, log_));
        EXPECT_EQ(document.GetLineHashes().size(),
                  static_cast<std::size_t>(document.GetLineCount()));
        return LinesOf(document);
    }

    TempDir dir_;
    RecordingDebugLog log_;
};

// A line keeps the number it has in its file, also when lines before it were dropped or
// when it is a piece of a longer line.
TEST_F(FileLoadingTest, LinesKeepTheirNumbersInTheFile) {
    struct Case {
        const char* name;
        Mode mode;
        std::string bytes;
        std::vector<SourceLine> expected;
    };
    const Case cases[] = {
        {"dropped empty lines still count", Plain, "a\r\n\r\n\nb\r\nc", {1, 4, 5}},
        {"kept empty lines", KeepEmpty, "a\n\nb\n", {1, 2, 3}},
        {"pieces share their line", BreakAfterTags, "\n<a><b>x\ny\n", {2, 2, 2, 3}},
        {"tag-free lines in order", DeleteTags, "<p>a</p>\n\n<p>b</p>\n", {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextDocument document(CodePage::None);
        ASSERT_TRUE(
            document.LoadFile(dir_.Write("numbered.txt", c.bytes), OptionsFor(c.mode), log_));
        std::vector<SourceLine> numbers;
        for (LineIndex i = 0; i < document.GetLineCount(); ++i) {
            numbers.push_back(document.GetSourceLine(i));
        }
        EXPECT_EQ(numbers, c.expected);
        EXPECT_EQ(document.GetSourceLine(document.GetLineCount()), 0u);
    }
}

TEST_F(FileLoadingTest, LineReadingAndPlainMode) {
    const LoadCase cases[] = {
        {"empty file", Plain, "", {}},
        {"empty lines dropped", Plain, "a\r\n\r\nb\r\n", {"a", "b"}},
        {"empty lines kept", KeepEmpty, "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"short and blank lines are not empty", Plain, "}\n   \n", {"}", "   "}},
        {"only CR before LF is dropped", Plain, "a\r\r\nb", {"a\r", "b"}},
        {"last line without line feed", Plain, "a\nb", {"a", "b"}},
        {"final line feed starts no line", KeepEmpty, "a\n", {"a"}},
        {"lone line feed is one empty line", KeepEmpty, "\n", {""}},
        {"0x1A ends the text", Plain, std::string("a\x1A") + "b\n", {"a"}},
        {"CR at end of file stays", Plain, "a\r", {"a\r"}},
        {"NUL byte stays in the line", Plain, std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
        {"bytes are not converted", Plain, "\xE4\xF6\xFC\n", {"\xE4\xF6\xFC"}},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Load(c.bytes, OptionsFor(c.mode)), c.expected);
    }
}

TEST_F(FileLoadingTest, HtmlModes) {
    const std::string longOpen = "<" + std::string(199, 'x');
    const std::string tag200 = "<" + std::string(198, 'x') + ">";
    const std::string tag201 = "<" + std::string(199, 'x') + ">";
    const LoadCase cases[] = {
        {"tag removed", DeleteTags, "a<b>c\n", {"ac\r\n"}},
        {"tag over two lines", DeleteTags, "a<span\nclass=x>b\n", {"ab\r\n"}},
        {"lone < at end of text", DeleteTags, "x < y\n", {"x &st; y\r\n"}},
        {"< up to > of next line", DeleteTags, "a < b\nc > d\n", {"a  d\r\n"}},
        {"< before < becomes &st;", DeleteTags, "a<<b>\n", {"a&st;\r\n"}},
        {"200 byte tag removed", DeleteTags, "a" + tag200 + "b\n", {"ab\r\n"}},
        {"201 byte tag stops", DeleteTags, "a" + tag201 + "<i>b\n", {"a" + tag201 + "<i>b\r\n"}},
        {"< without end within 199 bytes",
         DeleteTags,
         "a" + longOpen + "\n<b>c\n",
         {"a" + longOpen + "\r\n", "<b>c\r\n"}},
        {"bare lines vanish, indent goes", DeleteTags, "<p> <br>\n   \n  text  \n", {"text  \r\n"}},
        {"keep empty lines changes nothing", DeleteTagsKeepEmpty, "<p>\n\n \nx\n", {"x\r\n"}},
        {"empty file", DeleteTags, "", {}},
        {"file of empty lines", DeleteTags, "\n\r\n\n", {}},
        {"entities and script text survive",
         DeleteTags,
         "<script>if (a &amp;&amp; b) x();</script>\n",
         {"if (a &amp;&amp; b) x();\r\n"}},
        {"delete wins over break", BothHtml, "<tr><td>x</td>\n", {"x\r\n"}},
        {"broken after each tag", BreakAfterTags, "<tr><td>x</td>\n", {"<tr>", "<td>", "x</td>"}},
        {"one > keeps the line whole", BreakAfterTags, "<p>text\n", {"<p>text"}},
        {"leading > is a piece", BreakAfterTags, "> a>\n", {">", " a>"}},
        {"text after last > is a line",
         BreakAfterTags,
         "<b>x</b> tail\n",
         {"<b>", "x</b>", " tail"}},
        {"leading blanks of a piece stay", BreakAfterTags, "  <a> <b>\n", {"  <a>", " <b>"}},
        {"empty lines dropped in break mode", BreakAfterTags, "<a><b>\n\nx\n", {"<a>", "<b>", "x"}},
        {"kept empty lines, break mode", BreakKeepEmpty, "<a><b>\n\nx\n", {"<a>", "<b>", "", "x"}},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Load(c.bytes, OptionsFor(c.mode)), c.expected);
    }
}

TEST_F(FileLoadingTest, EmptyPathLeavesDocumentUnchanged) {
    TextDocument document(CodePage::None);
    EXPECT_FALSE(document.LoadFile("", OptionsFor(Plain), log_));
    EXPECT_EQ(log_.lines, (Lines{"error : empty input filename\r\n"}));
    EXPECT_EQ(document.GetName(), "");
    EXPECT_TRUE(document.GetOptions().IsEmpty());
}

TEST_F(FileLoadingTest, UnreadablePathKeepsNameAndOptions) {
    for (const std::string& path : {dir_.Path() + "/missing.txt", dir_.Path()}) {
        SCOPED_TRACE(path);
        TextDocument document(CodePage::None);
        log_.lines.clear();
        EXPECT_FALSE(document.LoadFile(path, OptionsFor(Plain), log_));
        EXPECT_EQ(log_.lines, (Lines{"error : cannot open " + path + "\r\n"}));
        EXPECT_EQ(document.GetName(), path);
        EXPECT_EQ(document.GetOptions().Entries().size(), 5u);
        EXPECT_EQ(document.GetLineCount(), 0);
    }
}

// Whatever might never end is refused unread; what fails or outgrows a document leaves
// the reason, and the document no fuller than its limits.
TEST_F(FileLoadingTest, RefusesWhatCannotBeTakenInWhole) {
    const std::string pipe = dir_.Path() + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    struct Case {
        const char* name;
        std::string path;
        Mode mode;
        DocumentLimits limits;
        InputProblemKind problem;
        LineIndex lines = 0;
        int errorNumber = 0;
    };
    using enum InputProblemKind;
    const DocumentLimits none;
    const Case cases[] = {
        {"a pipe without a writer", pipe, Plain, none, NotRegularFile},
        {"a device", "/dev/zero", Plain, none, NotRegularFile},
        {"a read error", "/proc/self/mem", Plain, none, Unreadable, 0, EIO},
        {"more bytes than the limit", dir_.Write("five.txt", "a\nbcd"), Plain,
         DocumentLimits{4, 100}, TooLarge},
        {"tag-free lines outgrow the file", dir_.Write("four.txt", "a\nb\n"), DeleteTags,
         DocumentLimits{5, 100}, TooLarge},
        {"more lines than the limit", dir_.Write("three.txt", "a\nb\nc\n"), Plain,
         DocumentLimits{100, 2}, TooManyLines, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextDocument document(CodePage::None);
        document.SetLimits(c.limits);
        EXPECT_FALSE(document.LoadFile(c.path, OptionsFor(c.mode), log_));
        EXPECT_EQ(document.GetProblem(), (InputProblem{c.problem, c.errorNumber}));
        EXPECT_EQ(document.GetLineCount(), c.lines);
    }
}

TEST_F(FileLoadingTest, ReadsFilesThatUnderstateTheirSize) {
    TextDocument document(CodePage::None);
    EXPECT_TRUE(document.LoadFile("/proc/self/status", OptionsFor(Plain), log_));
    EXPECT_FALSE(document.GetProblem());
    EXPECT_GT(document.GetLineCount(), 5);
}

// A file a walk found is read whole whatever size the walk gave, with a NUL byte in its first
// bytes making it binary; one that is no regular file any more, or too large, is refused.
TEST_F(FileLoadingTest, ReadsFoundFilesWholeOrTellsThemBinary) {
    const std::string pipe = dir_.Path() + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string text = std::string(70 * 1024, 'a') + "\n";
    const std::string lateNul = std::string(8 * 1024, 'b') + std::string(1, '\0');
    const std::string largeBinary = std::string(1, '\0') + text;
    struct Case {
        const char* name;
        std::string path;
        std::optional<std::uint64_t> foundSize;
        std::string bytes;  // expected
        bool binary = false;
        InputProblemKind problem = InputProblemKind::None;
    };
    const std::uint64_t size = text.size();
    const Case cases[] = {
        {"as found", dir_.Write("t", text), size, text},
        {"size unknown", dir_.Write("t", text), std::nullopt, text},
        {"grown since", dir_.Write("t", text), size - 5, text},
        {"shrunk since", dir_.Write("t", text), size + 5, text},
        {"a NUL past the first bytes", dir_.Write("late", lateNul), lateNul.size(), lateNul},
        {"a small binary file", dir_.Write("bin", std::string("x\0y", 3)), 3, "", true},
        {"a large binary file, read no further", dir_.Write("big", largeBinary), largeBinary.size(),
         "", true},
        {"a pipe now", pipe, 3, "", false, InputProblemKind::NotRegularFile},
        {"more than the limit", dir_.Write("t", text), 200 * 1024, "", false,
         InputProblemKind::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FileRead read =
            ReadFoundFileBytes(AT_FDCWD, c.path.c_str(), c.foundSize, 100 * 1024, 8 * 1024);
        EXPECT_EQ(read.problem.kind, c.problem);
        EXPECT_EQ(read.binary, c.binary);
        EXPECT_EQ(read.file ? std::string(read.file->bytes) : "", c.bytes);
    }
}

}  // namespace
}  // namespace tandemix
