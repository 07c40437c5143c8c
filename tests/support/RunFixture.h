#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "run/ComparisonRun.h"
#include "run/ReportFiles.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"

namespace tandemix::testing {

// Folders for the inputs and the report, and the sinks a run tells its messages to.
class RunFixture : public ::testing::Test {
protected:
    RunContext Context(const std::string& out) {
        return {out, CodePage::None, messages_, log_, nullptr, limits_};
    }
    // Compares the inputs into out_ and puts the report in place: an empty result when either
    // fails.
    RunResult Run(const std::array<std::string, 2>& inputs, const CompareRequest& request = {}) {
        const RunContext context = Context(out_);
        ReportFiles report(out_);
        const RunResult result = ComparisonRun(request, inputs, context, report);
        return result.written && CommitReport(report, context) ? result : RunResult{};
    }
    std::string Page(std::string_view name) const {
        return ReadWholeFile(out_ + "/" + std::string(name));
    }

    TempDir inputs_;
    TempDir output_;
    std::string out_ = output_.Path();
    RecordingMessageSink messages_;
    RecordingDebugLog log_;
    RunLimits limits_;
};

}  // namespace tandemix::testing
