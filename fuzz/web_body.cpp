// Feeds arbitrary bytes as the body of an answer, in pieces, with a restart and an end that
// the first bytes choose, and checks what the body keeps on disk against the rules: the
// input without its bytes 0x00, stored only when complete, within the cap and not empty.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "web/PageBody.h"

namespace tandemix::fuzz {
namespace {

void CheckBody(std::string_view input) {
    if (input.size() < 3) {
        return;
    }
    // Byte 0: the cap (small, so that it is reached); byte 1: the piece size; byte 2: whether
    // the transfer broke off and whether it started over after its first piece.
    const std::uint64_t cap = static_cast<unsigned char>(input[0]) * 4;
    const std::size_t piece = 1 + static_cast<unsigned char>(input[1]) % 64;
    const bool broken = (input[2] & 1) != 0;
    const bool restart = (input[2] & 2) != 0;
    std::string_view body = input.substr(3);

    const std::string path = "/tmp/tandemix-fuzz-body-" + std::to_string(::getpid());
    PageBody page(path, cap);
    Check(page.Ready(), "the body's file can be created");
    std::string_view kept = body;
    bool stopped = false;
    for (std::size_t at = 0; at < body.size() && !stopped; at += piece) {
        stopped = !page.Append(body.substr(at, piece));
        if (restart && at == 0) {
            Check(page.Restart(), "a restart");
            kept = body.substr(std::min(piece, body.size()));
            stopped = false;
        }
    }
    const BodyVerdict verdict = page.Finish(broken ? TransferEnd::Broken : TransferEnd::Complete);
    Check(page.Finish(TransferEnd::Complete) == verdict, "a second Finish repeats the verdict");

    std::string stored(kept);
    std::erase(stored, '\0');
    const bool fits = kept.size() <= cap;
    const BodyVerdict expected = !fits            ? BodyVerdict::OverCap
                                 : broken         ? BodyVerdict::Incomplete
                                 : stored.empty() ? BodyVerdict::Empty
                                                  : BodyVerdict::Stored;
    Check(verdict == expected, "the verdict follows from the body");
    // Pieces are counted whole, up to the first that passes the cap.
    const std::uint64_t counted =
        fits ? kept.size() : std::min<std::uint64_t>(kept.size(), (cap / piece + 1) * piece);
    Check(page.Received() == counted, "the bytes received are counted up to the cap");
    if (verdict == BodyVerdict::Stored) {
        std::ifstream file(path, std::ios::binary);
        Check(std::string(std::istreambuf_iterator<char>(file), {}) == stored,
              "the stored file is the body without its bytes 0x00");
    } else {
        Check(::access(path.c_str(), F_OK) != 0, "no file is left for a body not stored");
    }
    ::unlink(path.c_str());
}

}  // namespace
}  // namespace tandemix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tandemix::fuzz::CheckBody(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
