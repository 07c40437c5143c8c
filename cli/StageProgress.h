#pragma once

#include <chrono>
#include <functional>
#include <string_view>

#include "cli/ProgressLine.h"
#include "run/RunContext.h"

namespace tandemix::cli {

// Shows the stage of a run on a progress line, but only once the run has taken long
// enough for the user to wonder; quick runs print nothing.
class StageProgress final : public RunObserver {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;
    static constexpr std::chrono::milliseconds kQuietTime{500};

    explicit StageProgress(ProgressLine& line, Now now = &Clock::now)
        : line_(line), now_(std::move(now)), start_(now_()) {}

    void OnStage(RunStage stage) override;

private:
    ProgressLine& line_;
    Now now_;
    Clock::time_point start_;
};

std::string_view StageText(RunStage stage);

}  // namespace tandemix::cli
