// Compares two files with the installed engine into a one-file report in FOLDER and prints
// how many rows differ.
//   compare-two FILE1 FILE2 FOLDER

#include <cstdio>
#include <string_view>

#include <tandemix/run/Comparison.h>

struct StderrMessages final : tandemix::MessageSink {
    void Warn(std::string_view text) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
    void Inform(std::string_view text) override { Warn(text); }
};

int main(int argc, char** argv) {
    using namespace tandemix;
    if (argc != 4) {
        std::fprintf(stderr, "usage: compare-two FILE1 FILE2 FOLDER\n");
        return 2;
    }
    StderrMessages messages;
    SilentDebugLog log;
    CompareRequest request;
    request.inputs = {argv[1], argv[2]};
    request.choices.reportForm = ReportForm::Single;
    const RunContext context{argv[3], CodePage::None, messages, log};
    const RunResult result = CompareIntoReport(request, context, nullptr).run;
    std::printf("differences=%td\n", result.differenceCount);
    return result.written ? 0 : 1;
}
