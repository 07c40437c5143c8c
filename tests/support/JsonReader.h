#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tandemix::testing {

// A JSON value as the report's data block uses them. Strings are byte strings: "\u00XX"
// stands for the byte XX and every other byte stands for itself, as the writer means them.
struct JsonValue {
    using Array = std::vector<JsonValue>;
    using Object = std::map<std::string, JsonValue>;
    std::variant<std::nullptr_t, std::int64_t, std::string, std::shared_ptr<Array>,
                 std::shared_ptr<Object>>
        value;

    std::int64_t Number() const { return std::get<std::int64_t>(value); }
    const std::string& String() const { return std::get<std::string>(value); }
    const Array& Items() const { return *std::get<std::shared_ptr<Array>>(value); }
    const JsonValue& operator[](const std::string& key) const {
        return std::get<std::shared_ptr<Object>>(value)->at(key);
    }
    const JsonValue& operator[](std::size_t index) const { return Items().at(index); }
};

// Reads the whole text as one value; nothing when it is not JSON of that kind (an escape
// beyond "\u00FF", a raw control byte, trailing bytes).
std::optional<JsonValue> ReadJson(std::string_view text);

}  // namespace tandemix::testing
