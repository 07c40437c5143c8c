// Aligns two fuzzed documents and checks the rows against the literal forward pass and the
// invariants of every row pair. Bytes 0 and 1 choose the options of side 1 and side 2
// (FuzzedOptions.h; byte 0's code page serves both, as in a run). The rest holds the two
// texts: the first ends at a backslash followed by any byte but another backslash, which
// stands for one backslash (FuzzedDataProvider's strings); lines end at line feeds.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "FuzzedOptions.h"
#include "diff/DifferenceEngine.h"
#include "document/TextDocument.h"
#include "support/LiteralAlignment.h"
#include "support/RowInvariants.h"

namespace tandemix::fuzz {
namespace {

TextDocument Document(std::string_view text, const OptionMap& options, CodePage codePage) {
    TextDocument document(codePage);
    document.AddOptions(options);
    while (!text.empty()) {
        const std::size_t feed = text.find('\n');
        document.AddLine(text.substr(0, feed));
        text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
    }
    return document;
}

}  // namespace
}  // namespace tandemix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandemix;
    using namespace tandemix::fuzz;
    if (size < 2) {
        return 0;
    }
    const FuzzedOptions options1 = OptionsFromByte(data[0]);
    const FuzzedOptions options2 = OptionsFromByte(data[1]);
    FuzzedDataProvider provider(data + 2, size - 2);
    const std::string text1 = provider.ConsumeRandomLengthString();
    const std::string text2 = provider.ConsumeRemainingBytesAsString();
    TextDocument input1 = Document(text1, options1.options, options1.codePage);
    TextDocument input2 = Document(text2, options2.options, options1.codePage);
    input1.SetName("1");
    input2.SetName("2");

    TextDocument result1(CodePage::None);
    TextDocument result2(CodePage::None);
    ComputeDifferences(input1, input2, result1, result2);
    const testing::Alignment rows = testing::RowsOf(result1, result2);
    const std::string broken = testing::BrokenRowInvariant(input1, input2, rows);
    Check(broken.empty(), broken);
    Check(rows == testing::LiteralAlignment(input1, input2), "rows of the literal pass");
    Check(result1.GetName() == "1" && result2.GetName() == "2", "results take the input names");
    return 0;
}
