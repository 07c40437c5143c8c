#include "cli/LoginPrompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandemix::cli {
namespace {

struct LoginCase {
    const char* name;
    std::optional<std::string> known;  // from the command line or the environment
    std::optional<std::string> typed;  // std::nullopt: nobody at a terminal
    std::optional<std::string> expected;
    std::size_t prompts;
};

const LoginCase kLoginCases[] = {
    {"known in advance", "geheim", "typed", "geheim", 0},
    {"empty but known", "", "typed", "", 0},
    {"typed at the terminal", std::nullopt, "typed", "typed", 1},
    {"no terminal", std::nullopt, std::nullopt, std::nullopt, 1},
};

// Two pages may ask; the terminal is asked at most once for both.
TEST(LoginPromptTest, PasswordIsKnownOrAskedForOncePerComparison) {
    for (const LoginCase& c : kLoginCases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> prompts;
        LoginPrompt prompt("anna", c.known, [&](std::string_view text) {
            prompts.emplace_back(text);
            return c.typed;
        });
        for (int page = 0; page < 2; ++page) {
            const std::optional<Credentials> answer =
                prompt.Ask("http://example.org/", AuthRequester::Server);
            ASSERT_EQ(answer.has_value(), c.expected.has_value());
            if (answer) {
                EXPECT_EQ(answer->user, "anna");
                EXPECT_EQ(answer->password, *c.expected);
            }
        }
        EXPECT_EQ(prompts.size(), c.prompts);
    }
}

}  // namespace
}  // namespace tandemix::cli
