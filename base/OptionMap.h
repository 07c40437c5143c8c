#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tandemix {

// The comparison options as an ordered list of "key;value" entries. Keys are matched by
// prefix: the first non-empty entry that begins with the key decides.
class OptionMap {
public:
    static constexpr std::string_view kCase = "case";
    static constexpr std::string_view kIndent = "indent";
    static constexpr std::string_view kLineBreakAfterEachTag = "LineBrakeAfterEachTag";
    static constexpr std::string_view kDeleteAllTags = "DeleteAllTags";
    static constexpr std::string_view kShowEmptyLines = "ShowEmptyLines";
    // The matching rules beyond case and indent. No key begins with another, so that the
    // prefix match never confuses them; the two pattern keys may repeat, one pattern each.
    static constexpr std::string_view kIgnoreSpaceChange = "IgnoreSpaceChange";
    static constexpr std::string_view kIgnoreAllSpace = "IgnoreAllSpace";
    static constexpr std::string_view kIgnoreText = "IgnoreText";
    static constexpr std::string_view kIgnoreLines = "IgnoreLines";

    void Set(std::string_view key, std::string_view value);
    // The text after the first ";" of the deciding entry; empty when there is none.
    std::string Get(std::string_view key) const;
    // The values of every non-empty entry that begins with the key, in order.
    std::vector<std::string> GetAll(std::string_view key) const;
    bool IsEmpty() const { return entries_.empty(); }
    // Appends every entry of this map, in order, to the destination.
    void CopyTo(OptionMap& destination) const;
    void Append(std::string entry) { entries_.push_back(std::move(entry)); }

    const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
};

}  // namespace tandemix
