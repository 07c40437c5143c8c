#pragma once

#include <cstdint>

namespace tandemix {

// Why an input could not be taken in whole.
enum class InputProblemKind {
    None,
    Unreadable,      // opening or reading failed; the error number says why
    NotRegularFile,  // a pipe, device or socket, which might never end
    TooLarge,        // more bytes than a document can hold
    TooManyLines,    // more lines than a document can number
};

struct InputProblem {
    InputProblemKind kind = InputProblemKind::None;
    int errorNumber = 0;  // for Unreadable

    explicit operator bool() const { return kind != InputProblemKind::None; }
    bool operator==(const InputProblem&) const = default;
};

// What one document can hold: its text is addressed by 32-bit offsets and its lines by
// 32-bit numbers, one of which marks a placeholder row. Tests choose smaller limits.
struct DocumentLimits {
    std::uint64_t mostBytes = 0xFFFF'FFFFu;
    std::uint64_t mostLines = 0xFFFF'FFFEu;
};

}  // namespace tandemix
