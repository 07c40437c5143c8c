#include <gtest/gtest.h>

#include <string>

#include "cli/ConsoleSinks.h"
#include "cli/Outcome.h"
#include "cli/ProgressLine.h"
#include "cli/StageProgress.h"

namespace tandemix::cli {
namespace {

using namespace std::chrono_literals;

// Collects what would go to the terminal, where the progress line is shown too.
struct Terminal {
    std::string text;
    TextOut Out() {
        return [this](std::string_view written) { text.append(written); };
    }
    std::string Take() { return std::exchange(text, {}); }
    ProgressLine line{Out()};
};

TEST(ProgressLineTest, RewritesAndClearsInPlace) {
    Terminal terminal;
    terminal.line.Clear();
    EXPECT_EQ(terminal.Take(), "") << "nothing shown, nothing to clear";
    terminal.line.Show("Erzeuge Seiten...");
    EXPECT_EQ(terminal.Take(), "\rErzeuge Seiten...");
    terminal.line.Show("Lade...");
    EXPECT_EQ(terminal.Take(), "\rLade...          ") << "the shorter text covers the longer";
    terminal.line.Clear();
    EXPECT_EQ(terminal.Take(), "\r" + std::string(17, ' ') + "\r");
    terminal.line.Clear();
    EXPECT_EQ(terminal.Take(), "");
}

TEST(StageProgressTest, StaysQuietForQuickRuns) {
    Terminal terminal;
    StageProgress::Clock::time_point now{};
    StageProgress progress(terminal.line, [&now] { return now; });

    progress.OnStage(RunStage::Loading);
    now += 400ms;
    progress.OnStage(RunStage::Aligning);
    EXPECT_EQ(terminal.Take(), "");

    now += 200ms;
    progress.OnStage(RunStage::Generating);
    EXPECT_EQ(terminal.Take(), "\r" + std::string(StageText(RunStage::Generating)));
    progress.OnStage(RunStage::Writing);
    EXPECT_TRUE(terminal.Take().starts_with("\r" + std::string(StageText(RunStage::Writing))));
}

TEST(ConsoleSinksTest, MessagesStartOnAClearedLine) {
    Terminal terminal;
    ConsoleMessages messages(terminal.Out(), terminal.line);
    ConsoleDebugLog debugLog(terminal.Out(), terminal.line);

    EXPECT_FALSE(messages.AnyWarned());
    terminal.line.Show("Schreibe...");
    terminal.Take();
    debugLog.Write("error : cannot create x\r\n");
    EXPECT_EQ(terminal.Take(), "\r           \rerror : cannot create x\n");
    terminal.line.Show("Schreibe...");
    terminal.Take();
    messages.Warn(
        "Die Datei x kann nicht\nge\xC3\xB6"
        "ffnet werden");
    EXPECT_EQ(terminal.Take(),
              "\r           \rDie Datei x kann nicht\nge\xC3\xB6"
              "ffnet werden\n");
    EXPECT_TRUE(messages.AnyWarned());
}

TEST(ConsoleSinksTest, TerminalLineEndsInOneNewline) {
    const struct {
        std::string_view line;
        std::string_view expected;
    } cases[] = {
        {"error : x\r\n", "error : x\n"},
        {"error : x\n", "error : x\n"},
        {"two\nlines", "two\nlines\n"},
        {"inner\r\nkept\r\n", "inner\r\nkept\n"},
        {"", "\n"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(TerminalLine(row.line), row.expected);
    }
}

TEST(OutcomeTest, ExitStatusFollowsDiff) {
    const struct {
        const char* name;
        bool written;
        LineIndex differences;
        const char* containerPath;
        bool warned;
        ExitStatus expected;
    } cases[] = {
        {"same", true, 0, "/o/Tandemix.htm", false, ExitStatus::NoDifferences},
        {"one difference", true, 1, "/o/Tandemix.htm", false, ExitStatus::Differences},
        {"run stopped", false, 0, "", true, ExitStatus::Trouble},
        {"container not written", true, 0, "/o/Tandemix.htm", true, ExitStatus::Trouble},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const CompareOutcome outcome{RunResult{row.written, row.differences}, row.containerPath};
        EXPECT_EQ(StatusOf(outcome, row.warned), row.expected);
    }
}

TEST(OutcomeTest, ErrorStatusesOfWebPagesAndListingGapsAreNoted) {
    CompareOutcome outcome;
    EXPECT_TRUE(OutcomeNotes(outcome, kCommandLineChoices).empty()) << "no web pages";
    // 400 is the first status that is warned about.
    outcome.pageStatus = {400, 399};
    EXPECT_EQ(OutcomeNotes(outcome, kCommandLineChoices),
              std::vector<std::string>{"Warnung: Internet-Seite 1 antwortete mit 400"});
    outcome.pageStatus = {200, 500};
    outcome.run.folderListings[1].noPermission = 3;
    const std::vector<std::string> notes = OutcomeNotes(outcome, kCommandLineChoices);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], "Warnung: Internet-Seite 2 antwortete mit 500");
    EXPECT_NE(notes[1].find("Verzeichnis 2"), std::string::npos) << notes[1];
}

// Each hint is one line naming the option that looks closer.
TEST(OutcomeTest, HintsNameTheCommandLineOptions) {
    CompareOutcome outcome;
    outcome.run.hints = {true, 1};
    EXPECT_EQ(OutcomeNotes(outcome, kCommandLineChoices),
              (std::vector<std::string>{
                  "Hinweis: Viele Zeilen sind als verschieden markiert; --alignment minimal "
                  "findet oft weniger Unterschiede.",
                  "Hinweis: 1 Datei mit gleichem Namen und gleicher Zeit unterscheidet sich in "
                  "der Gr\xC3\xB6\xC3\x9F"
                  "e; --folder-contents vergleicht nach Inhalt."}));
    outcome.run.hints = {false, 1727};
    EXPECT_EQ(OutcomeNotes(outcome, kCommandLineChoices),
              std::vector<std::string>{
                  "Hinweis: 1727 Dateien mit gleichem Namen und gleicher Zeit unterscheiden sich "
                  "in der Gr\xC3\xB6\xC3\x9F"
                  "e; --folder-contents vergleicht nach Inhalt."});
}

TEST(ConsoleCertificateQuestionTest, AnswersNoAndNamesTheProblemAndTheWayAround) {
    Terminal terminal;
    ConsoleCertificateQuestion question(terminal.Out(), terminal.line);
    EXPECT_FALSE(question.AcceptInvalidCertificate({"example.org", "abgelaufen"}));
    EXPECT_EQ(terminal.Take(),
              "Das Zertifikat von example.org ist ung\xC3\xBCltig (abgelaufen). Mit --insecure "
              "wird die Seite trotzdem geladen.\n");
}

}  // namespace
}  // namespace tandemix::cli
