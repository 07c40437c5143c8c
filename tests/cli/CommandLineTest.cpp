#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandemix::cli {
namespace {

// Every field in one line, so a failing row shows all differences at once.
std::string Describe(const CompareInvocation& invocation) {
    const CompareRequest& r = invocation.request;
    auto yn = [](bool on) { return on ? "yes" : "no"; };
    std::string text = "inputs=" + r.input1 + "|" + r.input2;
    text += std::string(" case=") + yn(r.options.caseSensitive) +
            " indent=" + yn(r.options.indent) + " breakTags=" + yn(r.options.breakAfterEachTag) +
            " stripTags=" + yn(r.options.deleteAllTags) +
            " emptyLines=" + yn(r.options.keepEmptyLines) + " numbers=" + yn(r.showLineNumbers) +
            " web=" + yn(r.webPages) + " redirects=" + yn(r.followRedirects) +
            " container=" + (r.containerForm == ContainerForm::Hta ? "hta" : "htm") + " folders=" +
            (r.choices.folderComparison == FolderComparison::ByContents ? "contents" : "time") +
            " alignment=" + (r.choices.alignment == Alignment::Minimal ? "minimal" : "greedy") +
            " report=" + (r.choices.reportForm == ReportForm::Single ? "single" : "framed");
    text += " out=" + invocation.outputDirectory.value_or("<search>");
    text += invocation.login ? " user=" + invocation.login->user + ":" +
                                   invocation.login->password.value_or("<ask>")
                             : std::string(" user=<none>");
    text += std::string(" insecure=") +
            yn(invocation.certificateCheck == CertificateCheck::AcceptNameAndDateErrors);
    text += " warnings=" + std::to_string(invocation.warnings.size());
    text += std::string(" open=") + yn(invocation.open) + " quiet=" + yn(invocation.quiet);
    return text;
}

CompareInvocation Defaults() {
    CompareInvocation invocation;
    invocation.request.input1 = "a";
    invocation.request.input2 = "b";
    return invocation;
}

struct ParseCase {
    const char* name;
    std::vector<std::string> arguments;
    void (*expect)(CompareInvocation&);  // turns the defaults into the expected result
};

const ParseCase kParseCases[] = {
    {"defaults", {"a", "b"}, [](CompareInvocation&) {}},
    {"one-file report",
     {"--report", "single", "a", "b"},
     [](CompareInvocation& e) { e.request.choices.reportForm = ReportForm::Single; }},
    {"framed report asked for",
     {"--report=single", "--report=framed", "a", "b"},
     [](CompareInvocation&) {}},
    {"short output dir",
     {"-o", "out", "a", "b"},
     [](CompareInvocation& e) { e.outputDirectory = "out"; }},
    {"short output dir attached",
     {"-oout", "a", "b"},
     [](CompareInvocation& e) { e.outputDirectory = "out"; }},
    {"long output dir",
     {"--output-dir", "my out", "a", "b"},
     [](CompareInvocation& e) { e.outputDirectory = "my out"; }},
    {"long output dir with equals",
     {"--output-dir=x=y", "a", "b"},
     [](CompareInvocation& e) { e.outputDirectory = "x=y"; }},
    {"output dir loses trailing separators",
     {"-o", "out//", "a", "b"},
     [](CompareInvocation& e) { e.outputDirectory = "out"; }},
    {"root output dir stays",
     {"-o", "/", "a", "b"},
     [](CompareInvocation& e) { e.outputDirectory = "/"; }},
    {"output dir value may look like an option",
     {"-o", "-q", "a", "b"},
     [](CompareInvocation& e) { e.outputDirectory = "-q"; }},
    {"ignore case",
     {"--ignore-case", "a", "b"},
     [](CompareInvocation& e) { e.request.options.caseSensitive = false; }},
    {"ignore indent",
     {"--ignore-indent", "a", "b"},
     [](CompareInvocation& e) { e.request.options.indent = false; }},
    {"keep empty lines",
     {"--keep-empty-lines", "a", "b"},
     [](CompareInvocation& e) { e.request.options.keepEmptyLines = true; }},
    {"break after tags",
     {"--break-after-tags", "a", "b"},
     [](CompareInvocation& e) { e.request.options.breakAfterEachTag = true; }},
    {"no break after tags without web",
     {"--no-break-after-tags", "a", "b"},
     [](CompareInvocation&) {}},
    {"last of break and no-break wins",
     {"--break-after-tags", "--no-break-after-tags", "a", "b"},
     [](CompareInvocation&) {}},
    {"strip tags",
     {"--strip-tags", "a", "b"},
     [](CompareInvocation& e) { e.request.options.deleteAllTags = true; }},
    {"no line numbers",
     {"--no-line-numbers", "a", "b"},
     [](CompareInvocation& e) { e.request.showLineNumbers = false; }},
    {"folder contents",
     {"--folder-contents", "a", "b"},
     [](CompareInvocation& e) {
         e.request.choices.folderComparison = FolderComparison::ByContents;
     }},
    {"web turns on tag breaks and redirects",
     {"--web", "a", "b"},
     [](CompareInvocation& e) {
         e.request.webPages = true;
         e.request.options.breakAfterEachTag = true;
         e.request.followRedirects = true;
     }},
    {"web without tag breaks",
     {"--no-break-after-tags", "--web", "a", "b"},
     [](CompareInvocation& e) {
         e.request.webPages = true;
         e.request.followRedirects = true;
     }},
    {"web without redirects",
     {"--web", "--no-follow-redirects", "a", "b"},
     [](CompareInvocation& e) {
         e.request.webPages = true;
         e.request.options.breakAfterEachTag = true;
     }},
    {"follow redirects without web",
     {"--follow-redirects", "a", "b"},
     [](CompareInvocation& e) { e.request.followRedirects = true; }},
    {"user with web asks for the password",
     {"--web", "--user", "anna", "a", "b"},
     [](CompareInvocation& e) {
         e.request.webPages = e.request.options.breakAfterEachTag = e.request.followRedirects =
             true;
         e.login = LoginOption{"anna", std::nullopt};
     }},
    {"user with password still works, with a warning",
     {"--web", "--user", "anna:geheim", "a", "b"},
     [](CompareInvocation& e) {
         e.request.webPages = e.request.options.breakAfterEachTag = e.request.followRedirects =
             true;
         e.login = LoginOption{"anna", "geheim"};
         e.warnings.emplace_back();
     }},
    {"password keeps its colons",
     {"--web", "--user=anna:ge:heim", "a", "b"},
     [](CompareInvocation& e) {
         e.request.webPages = e.request.options.breakAfterEachTag = e.request.followRedirects =
             true;
         e.login = LoginOption{"anna", "ge:heim"};
         e.warnings.emplace_back();
     }},
    {"empty password",
     {"--web", "--user", "anna:", "a", "b"},
     [](CompareInvocation& e) {
         e.request.webPages = e.request.options.breakAfterEachTag = e.request.followRedirects =
             true;
         e.login = LoginOption{"anna", ""};
         e.warnings.emplace_back();
     }},
    {"insecure with web",
     {"--insecure", "--web", "a", "b"},
     [](CompareInvocation& e) {
         e.request.webPages = e.request.options.breakAfterEachTag = e.request.followRedirects =
             true;
         e.certificateCheck = CertificateCheck::AcceptNameAndDateErrors;
     }},
    {"container hta",
     {"--container", "hta", "a", "b"},
     [](CompareInvocation& e) { e.request.containerForm = ContainerForm::Hta; }},
    {"container htm with equals",
     {"--container=hta", "--container=htm", "a", "b"},
     [](CompareInvocation&) {}},
    {"minimal alignment",
     {"--alignment", "minimal", "a", "b"},
     [](CompareInvocation& e) { e.request.choices.alignment = Alignment::Minimal; }},
    {"greedy alignment with equals, last wins",
     {"--alignment=minimal", "--alignment=greedy", "a", "b"},
     [](CompareInvocation&) {}},
    {"open", {"--open", "a", "b"}, [](CompareInvocation& e) { e.open = true; }},
    {"short quiet", {"-q", "a", "b"}, [](CompareInvocation& e) { e.quiet = true; }},
    {"long quiet", {"--quiet", "a", "b"}, [](CompareInvocation& e) { e.quiet = true; }},
    {"options after the inputs",
     {"a", "b", "--ignore-case"},
     [](CompareInvocation& e) { e.request.options.caseSensitive = false; }},
    {"a single dash is an input", {"-", "b"}, [](CompareInvocation& e) { e.request.input1 = "-"; }},
    {"double dash ends the options",
     {"--ignore-case", "--", "-q", "--web"},
     [](CompareInvocation& e) {
         e.request.options.caseSensitive = false;
         e.request.input1 = "-q";
         e.request.input2 = "--web";
     }},
};

TEST(CommandLineTest, ComparesWithTheRequestedOptions) {
    for (const ParseCase& row : kParseCases) {
        SCOPED_TRACE(row.name);
        const CommandLine parsed = ParseCommandLine(row.arguments);
        const auto* invocation = std::get_if<CompareInvocation>(&parsed);
        ASSERT_NE(invocation, nullptr);
        CompareInvocation expected = Defaults();
        row.expect(expected);
        EXPECT_EQ(Describe(*invocation), Describe(expected));
    }
}

struct InfoCase {
    const char* name;
    std::vector<std::string> arguments;
    InfoRequest expected;
};

const InfoCase kInfoCases[] = {
    {"long help without inputs", {"--help"}, InfoRequest::Help},
    {"short help with inputs", {"a", "-h", "b"}, InfoRequest::Help},
    {"version with one input", {"--version", "a"}, InfoRequest::Version},
    {"help wins over version", {"--version", "--help"}, InfoRequest::Help},
    {"help wins over version in any order", {"-h", "--version"}, InfoRequest::Help},
};

TEST(CommandLineTest, AnswersHelpAndVersion) {
    for (const InfoCase& row : kInfoCases) {
        SCOPED_TRACE(row.name);
        const CommandLine parsed = ParseCommandLine(row.arguments);
        const auto* info = std::get_if<InfoRequest>(&parsed);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(*info, row.expected);
    }
}

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* mentions;  // a part of the error text that names the mistake
};

const UsageCase kUsageCases[] = {
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
    {"a mistake wins over help", {"--frobnicate", "--help"}, "--frobnicate"},
};

TEST(CommandLineTest, RejectsBadUsage) {
    for (const UsageCase& row : kUsageCases) {
        SCOPED_TRACE(row.name);
        const CommandLine parsed = ParseCommandLine(row.arguments);
        const auto* error = std::get_if<UsageError>(&parsed);
        ASSERT_NE(error, nullptr);
        EXPECT_NE(error->text.find(row.mentions), std::string::npos) << error->text;
    }
}

}  // namespace
}  // namespace tandemix::cli
