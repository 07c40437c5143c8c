// Compares two files with the installed engine into a one-file report in FOLDER and prints
// how many rows differ.
//   compare-two FILE1 FILE2 FOLDER

#include <cstdio>
#include <string_view>

#include <tandemix/run/Comparison.h>

namespace {

class StderrMessages final : public tandemix::MessageSink {
public:
    void Warn(std::string_view text) override { Inform(text); }
    void Inform(std::string_view text) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
};

}  // namespace

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
    const CompareOutcome outcome = CompareIntoReport(request, context, nullptr);
    if (!outcome.run.written) {
        return 1;
    }
    std::printf("differences=%td\n", outcome.run.differenceCount);
    return 0;
}
