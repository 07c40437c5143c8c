#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tandemix::cli {
namespace {

using Fields = std::map<std::string, std::string>;

// Each pattern with its prefix and a "|" after it.
std::string Joined(const std::vector<std::string>& patterns, const std::string& prefix = "") {
    std::string joined;
    for (const std::string& pattern : patterns) {
        joined += prefix + pattern + "|";
    }
    return joined;
}

// Every field of an invocation, so that a failing row shows all differences at once.
Fields FieldsOf(const CompareInvocation& invocation) {
    const CompareRequest& r = invocation.request;
    const auto yn = [](bool on) -> std::string { return on ? "yes" : "no"; };
    const auto& login = invocation.login;
    return {
        {"inputs", r.inputs[0] + "|" + r.inputs[1]},
        {"case", yn(r.options.caseSensitive)},
        {"indent", yn(r.options.indent)},
        {"breakTags", yn(r.options.breakAfterEachTag)},
        {"stripTags", yn(r.options.deleteAllTags)},
        {"emptyLines", yn(r.options.keepEmptyLines)},
        {"numbers", yn(r.showLineNumbers)},
        {"web", yn(r.WebPages())},
        {"redirects", yn(r.followRedirects)},
        {"container", r.containerForm == ContainerForm::Hta ? "hta" : "htm"},
        {"folders",
         r.choices.folderComparison == FolderComparison::ByContents ? "contents" : "time"},
        {"alignment", r.choices.alignment == Alignment::Minimal ? "minimal" : "greedy"},
        {"report", r.choices.reportForm == ReportForm::Single ? "single" : "framed"},
        {"out", invocation.outputDirectory.value_or("<search>")},
        {"user", login ? login->user + ":" + login->password.value_or("<ask>") : "<none>"},
        {"insecure", yn(invocation.certificateCheck == CertificateCheck::AcceptNameAndDateErrors)},
        {"warnings", std::to_string(invocation.warnings.size())},
        {"open", yn(invocation.open)},
        {"quiet", yn(invocation.quiet)},
        {"brief", yn(invocation.brief)},
        {"space", r.options.ignoreAllSpace      ? "all"
                  : r.options.ignoreSpaceChange ? "change"
                                                : "keep"},
        {"patterns", Joined(r.options.ignoredText) + Joined(r.options.ignoredLines, "I:")},
        {"exclude", Joined(r.choices.exclusions)},
    };
}

// The fields that --web changes, besides the given ones.
Fields Web(Fields fields = {}) {
    fields.insert({{"web", "yes"}, {"breakTags", "yes"}, {"redirects", "yes"}});
    return fields;
}

struct ParseCase {
    const char* name;
    std::vector<std::string> arguments;
    Fields changed;  // against the defaults for the inputs "a" and "b"
};

const ParseCase kParseCases[] = {
    {"defaults", {"a", "b"}, {}},
    {"one-file report", {"--report", "single", "a", "b"}, {{"report", "single"}}},
    {"brief with exclusions",
     {"--brief", "--exclude", ".git", "--exclude=*.pyc", "a", "b"},
     {{"brief", "yes"}, {"exclude", ".git|*.pyc|"}}},
    {"framed report asked for", {"--report=single", "--report=framed", "a", "b"}, {}},
    {"blank rules", {"-b", "a", "b"}, {{"space", "change"}}},
    {"all blanks win", {"--ignore-space-change", "-w", "a", "b"}, {{"space", "all"}}},
    {"patterns in order",
     {"--ignore-matching", "[0-9]+", "-I^#", "--ignore-matching=id=\\w+", "--ignore-matching-lines",
      "^//", "a", "b"},
     {{"patterns", "[0-9]+|id=\\w+|I:^#|I:^//|"}}},
    {"short output dir", {"-o", "out", "a", "b"}, {{"out", "out"}}},
    {"short output dir attached", {"-oout", "a", "b"}, {{"out", "out"}}},
    {"long output dir", {"--output-dir", "my out", "a", "b"}, {{"out", "my out"}}},
    {"long output dir with equals", {"--output-dir=x=y", "a", "b"}, {{"out", "x=y"}}},
    {"output dir loses trailing separators", {"-o", "out//", "a", "b"}, {{"out", "out"}}},
    {"root output dir stays", {"-o", "/", "a", "b"}, {{"out", "/"}}},
    {"output dir value may look like an option", {"-o", "-q", "a", "b"}, {{"out", "-q"}}},
    {"ignore case", {"--ignore-case", "a", "b"}, {{"case", "no"}}},
    {"ignore indent", {"--ignore-indent", "a", "b"}, {{"indent", "no"}}},
    {"keep empty lines", {"--keep-empty-lines", "a", "b"}, {{"emptyLines", "yes"}}},
    {"break after tags", {"--break-after-tags", "a", "b"}, {{"breakTags", "yes"}}},
    {"no break after tags without web", {"--no-break-after-tags", "a", "b"}, {}},
    {"last of break and no-break wins",
     {"--break-after-tags", "--no-break-after-tags", "a", "b"},
     {}},
    {"strip tags", {"--strip-tags", "a", "b"}, {{"stripTags", "yes"}}},
    {"no line numbers", {"--no-line-numbers", "a", "b"}, {{"numbers", "no"}}},
    {"folder contents", {"--folder-contents", "a", "b"}, {{"folders", "contents"}}},
    {"web turns on tag breaks and redirects", {"--web", "a", "b"}, Web()},
    {"web without tag breaks",
     {"--no-break-after-tags", "--web", "a", "b"},
     Web({{"breakTags", "no"}})},
    {"web without redirects",
     {"--web", "--no-follow-redirects", "a", "b"},
     Web({{"redirects", "no"}})},
    {"follow redirects without web", {"--follow-redirects", "a", "b"}, {{"redirects", "yes"}}},
    {"user with web asks for the password",
     {"--web", "--user", "anna", "a", "b"},
     Web({{"user", "anna:<ask>"}})},
    {"user with password still works, with a warning",
     {"--web", "--user", "anna:geheim", "a", "b"},
     Web({{"user", "anna:geheim"}, {"warnings", "1"}})},
    {"password keeps its colons",
     {"--web", "--user=anna:ge:heim", "a", "b"},
     Web({{"user", "anna:ge:heim"}, {"warnings", "1"}})},
    {"empty password",
     {"--web", "--user", "anna:", "a", "b"},
     Web({{"user", "anna:"}, {"warnings", "1"}})},
    {"insecure with web", {"--insecure", "--web", "a", "b"}, Web({{"insecure", "yes"}})},
    {"container hta", {"--container", "hta", "a", "b"}, {{"container", "hta"}}},
    {"container htm with equals", {"--container=hta", "--container=htm", "a", "b"}, {}},
    {"minimal alignment", {"--alignment", "minimal", "a", "b"}, {{"alignment", "minimal"}}},
    {"greedy alignment with equals, last wins",
     {"--alignment=minimal", "--alignment=greedy", "a", "b"},
     {}},
    {"open", {"--open", "a", "b"}, {{"open", "yes"}}},
    {"short quiet", {"-q", "a", "b"}, {{"quiet", "yes"}}},
    {"long quiet", {"--quiet", "a", "b"}, {{"quiet", "yes"}}},
    {"options after the inputs", {"a", "b", "--ignore-case"}, {{"case", "no"}}},
    {"a single dash is an input", {"-", "b"}, {{"inputs", "-|b"}}},
    {"double dash ends the options",
     {"--ignore-case", "--", "-q", "--web"},
     {{"case", "no"}, {"inputs", "-q|--web"}}},
};

TEST(CommandLineTest, ComparesWithTheRequestedOptions) {
    CompareInvocation defaults;
    defaults.request.inputs[0] = "a";
    defaults.request.inputs[1] = "b";
    for (const ParseCase& row : kParseCases) {
        SCOPED_TRACE(row.name);
        const CommandLine parsed = ParseCommandLine(row.arguments);
        const auto* invocation = std::get_if<CompareInvocation>(&parsed);
        ASSERT_NE(invocation, nullptr);
        Fields expected = FieldsOf(defaults);
        for (const auto& [field, value] : row.changed) {
            expected[field] = value;
        }
        EXPECT_EQ(FieldsOf(*invocation), expected);
    }
}

// What is not a comparison: a request for help or the version, or a mistake, with a part of
// the error text that names it.
struct OtherCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string expected;  // "<help>", "<version>", or what the error text mentions
};

const OtherCase kOtherCases[] = {
    {"long help without inputs", {"--help"}, "<help>"},
    {"short help with inputs", {"a", "-h", "b"}, "<help>"},
    {"version with one input", {"--version", "a"}, "<version>"},
    {"help wins over version", {"--version", "--help"}, "<help>"},
    {"help wins over version in any order", {"-h", "--version"}, "<help>"},
    {"no inputs", {}, "0 angegeben"},
    {"one input", {"a"}, "1 angegeben"},
    {"three inputs", {"a", "b", "c"}, "3 angegeben"},
    {"unknown long option", {"--frobnicate", "a", "b"}, "--frobnicate"},
    {"unknown long option with value", {"--frobnicate=1", "a", "b"}, "--frobnicate"},
    {"prefix of an option", {"--ignore", "a", "b"}, "--ignore"},
    {"unknown short option", {"-x", "a", "b"}, "-x"},
    {"bundled short flags", {"-qh", "a", "b"}, "-qh"},
    {"flag given a value", {"--quiet=yes", "a", "b"}, "--quiet"},
    {"output dir without value", {"a", "b", "--output-dir"}, "--output-dir"},
    {"short output dir without value", {"a", "b", "-o"}, "--output-dir"},
    {"empty output dir", {"--output-dir=", "a", "b"}, "--output-dir"},
    {"unknown container", {"--container", "html", "a", "b"}, "html"},
    {"container in capitals", {"--container=HTA", "a", "b"}, "HTA"},
    {"container without value", {"a", "b", "--container"}, "--container"},
    {"empty user", {"--web", "--user=", "a", "b"}, "--user"},
    {"unknown alignment", {"--alignment", "best", "a", "b"}, "\"greedy\" oder \"minimal\""},
    {"alignment in capitals", {"--alignment=Minimal", "a", "b"}, "Minimal"},
    {"alignment without value", {"a", "b", "--alignment"}, "--alignment"},
    {"unknown report form", {"--report", "one", "a", "b"}, "one"},
    {"report form without value", {"a", "b", "--report"}, "--report"},
    {"user without name", {"--web", "--user", ":geheim", "a", "b"}, "--user"},
    {"user without web", {"--user", "anna", "a", "b"}, "--web"},
    {"insecure without web", {"--insecure", "a", "b"}, "--insecure"},
    {"folder contents with web", {"--web", "--folder-contents", "a", "b"}, "--folder-contents"},
    {"hta container of a one-file report",
     {"--container=hta", "--report=single", "a", "b"},
     "--container gilt nicht mit --report single"},
    {"any container of a one-file report",
     {"--report", "single", "--container", "htm", "a", "b"},
     "--container gilt nicht mit --report single"},
    {"brief with web", {"--brief", "--web", "a", "b"}, "--brief gilt nicht mit --web"},
    {"brief with open", {"--brief", "--open", "a", "b"}, "--open gilt nicht mit --brief"},
    {"empty exclusion", {"--exclude=", "a", "b"}, "--exclude: leeres Muster"},
    {"unclosed group",
     {"--ignore-matching", "(ab", "a", "b"},
     "--ignore-matching: ungültiges Muster \"(ab\": missing ): (ab"},
    {"back reference in a line pattern",
     {"-I", "(a)\\1", "a", "b"},
     "--ignore-matching-lines: ungültiges Muster \"(a)\\1\": invalid escape sequence: \\1"},
    {"pattern missing", {"a", "b", "--ignore-matching"}, "--ignore-matching braucht einen Wert"},
    {"a mistake wins over help", {"--frobnicate", "--help"}, "--frobnicate"},
};

TEST(CommandLineTest, AnswersHelpAndVersionAndRejectsBadUsage) {
    for (const OtherCase& row : kOtherCases) {
        SCOPED_TRACE(row.name);
        const CommandLine parsed = ParseCommandLine(row.arguments);
        if (const auto* info = std::get_if<InfoRequest>(&parsed)) {
            EXPECT_EQ(*info == InfoRequest::Help ? "<help>" : "<version>", row.expected);
        } else {
            const auto* error = std::get_if<UsageError>(&parsed);
            ASSERT_NE(error, nullptr);
            EXPECT_NE(error->text.find(row.expected), std::string::npos) << error->text;
        }
    }
}

}  // namespace
}  // namespace tandemix::cli
