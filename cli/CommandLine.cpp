#include "cli/CommandLine.h"

#include "base/Paths.h"
#include "document/TextPatterns.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>
#include <vector>

namespace tandemix::cli {
namespace {

constexpr std::string_view kPasswordOnCommandLine =
    "Warnung: Mit --user NAME:PASSWORT sehen andere Benutzer dieses Rechners das Passwort; "
    "besser --user NAME und das Passwort in TANDEMIX_PASSWORD oder am Terminal.";

// What the options set, before the defaults that depend on --web are filled in.
struct ParseState {
    CompareInvocation invocation;
    std::optional<bool> breakAfterTags;
    std::optional<bool> followRedirects;
    bool containerGiven = false;
    std::optional<InfoRequest> info;
    std::vector<std::string> inputs;
};

// Returns the usage error, if any.
using Apply = std::optional<std::string> (*)(ParseState&, std::string_view value);

struct KnownOption {
    std::string_view longName;
    char shortName;  // 0 when there is none
    bool takesValue;
    Apply apply;
};

CompareRequest& Request(ParseState& state) {
    return state.invocation.request;
}

std::optional<std::string> SetOutputDirectory(ParseState& state, std::string_view value) {
    if (value.empty()) {
        return "--output-dir: leerer Verzeichnisname";
    }
    state.invocation.outputDirectory = WithoutTrailingSeparators(value);
    return std::nullopt;
}

// An option whose value is one of two words, each naming a value of the field.
template <class Value>
struct WordChoice {
    std::string_view option;
    std::array<std::pair<std::string_view, Value>, 2> words;
    Value& (*field)(CompareRequest&);
};

template <const auto& Choice>
std::optional<std::string> SetChoice(ParseState& state, std::string_view value) {
    for (const auto& [word, choice] : Choice.words) {
        if (value == word) {
            Choice.field(Request(state)) = choice;
            state.containerGiven = state.containerGiven || Choice.option == "container";
            return std::nullopt;
        }
    }
    return "--" + std::string(Choice.option) + ": \"" + std::string(Choice.words[0].first) +
           "\" oder \"" + std::string(Choice.words[1].first) + "\" erwartet, nicht \"" +
           std::string(value) + "\"";
}

constexpr WordChoice<ContainerForm> kContainer{
    "container",
    {{{"hta", ContainerForm::Hta}, {"htm", ContainerForm::Html}}},
    [](CompareRequest& request) -> ContainerForm& { return request.containerForm; }};
constexpr WordChoice<Alignment> kAlignment{
    "alignment",
    {{{"greedy", Alignment::Greedy}, {"minimal", Alignment::Minimal}}},
    [](CompareRequest& request) -> Alignment& { return request.choices.alignment; }};
constexpr WordChoice<ReportForm> kReport{
    "report",
    {{{"framed", ReportForm::Framed}, {"single", ReportForm::Single}}},
    [](CompareRequest& request) -> ReportForm& { return request.choices.reportForm; }};

// The older NAME:PASSWORD form still works, but the password shows in every process list.
std::optional<std::string> SetUser(ParseState& state, std::string_view value) {
    const auto colon = value.find(':');
    if (value.empty() || colon == 0) {
        return "--user: NAME erwartet";
    }
    LoginOption& login = state.invocation.login.emplace();
    login.user = value.substr(0, colon);
    if (colon != std::string_view::npos) {
        login.password = value.substr(colon + 1);
        state.invocation.warnings.emplace_back(kPasswordOnCommandLine);
    }
    return std::nullopt;
}

std::optional<std::string> AddExclusion(ParseState& state, std::string_view value) {
    if (value.empty()) {
        return "--exclude: leeres Muster";
    }
    Request(state).choices.exclusions.emplace_back(value);
    return std::nullopt;
}

// A pattern that does not compile is named with where the engine stopped understanding it.
template <std::vector<std::string> ComparisonOptions::*List>
std::optional<std::string> AddPattern(ParseState& state, std::string_view value) {
    const std::string pattern(value);
    if (const auto error = TextPatterns::ErrorOf(pattern)) {
        const std::string_view option = List == &ComparisonOptions::ignoredText
                                            ? "--ignore-matching"
                                            : "--ignore-matching-lines";
        return std::string(option) + ": ungültiges Muster \"" + pattern + "\": " + *error;
    }
    (Request(state).options.*List).push_back(pattern);
    return std::nullopt;
}

template <auto Set>
std::optional<std::string> Flag(ParseState& state, std::string_view) {
    Set(state);
    return std::nullopt;
}

constexpr std::array kOptions = {
    KnownOption{"output-dir", 'o', true, &SetOutputDirectory},
    KnownOption{"ignore-case", 0, false,
                &Flag<[](ParseState& s) { Request(s).options.caseSensitive = false; }>},
    KnownOption{"ignore-indent", 0, false,
                &Flag<[](ParseState& s) { Request(s).options.indent = false; }>},
    KnownOption{"ignore-space-change", 'b', false,
                &Flag<[](ParseState& s) { Request(s).options.ignoreSpaceChange = true; }>},
    KnownOption{"ignore-all-space", 'w', false,
                &Flag<[](ParseState& s) { Request(s).options.ignoreAllSpace = true; }>},
    KnownOption{"ignore-matching", 0, true, &AddPattern<&ComparisonOptions::ignoredText>},
    KnownOption{"ignore-matching-lines", 'I', true, &AddPattern<&ComparisonOptions::ignoredLines>},
    KnownOption{"keep-empty-lines", 0, false,
                &Flag<[](ParseState& s) { Request(s).options.keepEmptyLines = true; }>},
    KnownOption{"break-after-tags", 0, false,
                &Flag<[](ParseState& s) { s.breakAfterTags = true; }>},
    KnownOption{"no-break-after-tags", 0, false,
                &Flag<[](ParseState& s) { s.breakAfterTags = false; }>},
    KnownOption{"strip-tags", 0, false,
                &Flag<[](ParseState& s) { Request(s).options.deleteAllTags = true; }>},
    KnownOption{"no-line-numbers", 0, false,
                &Flag<[](ParseState& s) { Request(s).showLineNumbers = false; }>},
    KnownOption{"web", 0, false,
                &Flag<[](ParseState& s) { Request(s).kind = InputsKind::WebPages; }>},
    KnownOption{"follow-redirects", 0, false,
                &Flag<[](ParseState& s) { s.followRedirects = true; }>},
    KnownOption{"no-follow-redirects", 0, false,
                &Flag<[](ParseState& s) { s.followRedirects = false; }>},
    KnownOption{"user", 0, true, &SetUser},
    KnownOption{"insecure", 0, false, &Flag<[](ParseState& s) {
                    s.invocation.certificateCheck = CertificateCheck::AcceptNameAndDateErrors;
                }>},
    KnownOption{"folder-contents", 0, false, &Flag<[](ParseState& s) {
                    Request(s).choices.folderComparison = FolderComparison::ByContents;
                }>},
    KnownOption{"report", 0, true, &SetChoice<kReport>},
    KnownOption{"container", 0, true, &SetChoice<kContainer>},
    KnownOption{"alignment", 0, true, &SetChoice<kAlignment>},
    KnownOption{"brief", 0, false, &Flag<[](ParseState& s) { s.invocation.brief = true; }>},
    KnownOption{"exclude", 0, true, &AddExclusion},
    KnownOption{"open", 0, false, &Flag<[](ParseState& s) { s.invocation.open = true; }>},
    KnownOption{"quiet", 'q', false, &Flag<[](ParseState& s) { s.invocation.quiet = true; }>},
    // Help outranks the version when both are asked for.
    KnownOption{"help", 'h', false, &Flag<[](ParseState& s) { s.info = InfoRequest::Help; }>},
    KnownOption{"version", 0, false,
                &Flag<[](ParseState& s) { s.info = s.info.value_or(InfoRequest::Version); }>},
};

const KnownOption* FindLong(std::string_view name) {
    const auto it = std::ranges::find(kOptions, name, &KnownOption::longName);
    return it != kOptions.end() ? &*it : nullptr;
}

const KnownOption* FindShort(char name) {
    const auto it = std::ranges::find(kOptions, name, &KnownOption::shortName);
    return it != kOptions.end() ? &*it : nullptr;
}

// Reads one argument that begins with a dash; may take the next argument as its value.
std::optional<std::string> ParseOption(ParseState& state, std::span<const std::string> arguments,
                                       std::size_t& at) {
    const std::string_view argument = arguments[at];
    const bool isLong = argument.starts_with("--");
    const KnownOption* option = nullptr;
    std::optional<std::string_view> attached;
    if (isLong) {
        std::string_view name = argument.substr(2);
        if (const auto equals = name.find('='); equals != std::string_view::npos) {
            attached = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        option = FindLong(name);
    } else {
        option = FindShort(argument[1]);
        if (option != nullptr && argument.size() > 2) {
            if (!option->takesValue) {
                return "unbekannte Option: " + std::string(argument);
            }
            attached = argument.substr(2);
        }
    }
    if (option == nullptr) {
        const std::string_view shown = isLong ? argument.substr(0, argument.find('=')) : argument;
        return "unbekannte Option: " + std::string(shown);
    }
    const std::string shownName = "--" + std::string(option->longName);
    if (!option->takesValue) {
        if (attached) {
            return shownName + " nimmt keinen Wert";
        }
        return option->apply(state, {});
    }
    if (attached) {
        return option->apply(state, *attached);
    }
    if (at + 1 >= arguments.size()) {
        return shownName + " braucht einen Wert";
    }
    return option->apply(state, arguments[++at]);
}

// Options that cannot both take effect; naming them beats ignoring one in silence.
std::optional<std::string> Contradiction(const ParseState& state) {
    const CompareRequest& request = state.invocation.request;
    if (request.WebPages() && request.choices.folderComparison == FolderComparison::ByContents) {
        return "--folder-contents gilt nicht mit --web";
    }
    if (state.containerGiven && request.choices.reportForm == ReportForm::Single) {
        return "--container gilt nicht mit --report single (der Bericht ist eine Datei)";
    }
    return std::nullopt;
}

CompareInvocation Finish(ParseState& state) {
    CompareRequest& request = Request(state);
    request.inputs = {state.inputs[0], state.inputs[1]};
    // Web pages are mostly markup on few lines and often move; both defaults follow --web.
    request.options.breakAfterEachTag = state.breakAfterTags.value_or(request.WebPages());
    request.followRedirects = state.followRedirects.value_or(request.WebPages());
    return std::move(state.invocation);
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> arguments) {
    ParseState state;
    bool optionsEnded = false;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& argument = arguments[at];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            state.inputs.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (auto error = ParseOption(state, arguments, at)) {
            return UsageError{std::move(*error)};
        }
    }
    if (state.info) {
        return *state.info;
    }
    if (state.inputs.size() != 2) {
        return UsageError{"zwei Eingaben erwartet, " + std::to_string(state.inputs.size()) +
                          " angegeben"};
    }
    // The short form compares the inputs' bytes, which a web page's copy does not stand for;
    // and it writes no report to open.
    if (state.invocation.brief && Request(state).WebPages()) {
        return UsageError{"--brief gilt nicht mit --web"};
    }
    if (state.invocation.brief && state.invocation.open) {
        return UsageError{"--open gilt nicht mit --brief"};
    }
    if (!Request(state).WebPages()) {
        if (state.invocation.login) {
            return UsageError{"--user gilt nur mit --web"};
        }
        if (state.invocation.certificateCheck != CertificateCheck::Full) {
            return UsageError{"--insecure gilt nur mit --web"};
        }
    }
    if (auto contradiction = Contradiction(state)) {
        return UsageError{std::move(*contradiction)};
    }
    return Finish(state);
}

}  // namespace tandemix::cli
