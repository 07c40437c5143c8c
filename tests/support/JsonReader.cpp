#include "support/JsonReader.h"

namespace tandemix::testing {
namespace {

class JsonReader {
public:
    static std::optional<JsonValue> Read(std::string_view text) {
        JsonReader reader(text);
        std::optional<JsonValue> value = reader.Value();
        reader.SkipSpace();
        if (!value || reader.at_ != text.size()) {
            return std::nullopt;
        }
        return value;
    }

private:
    explicit JsonReader(std::string_view text) : text_(text) {}

    void SkipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\r' ||
                                      text_[at_] == '\n' || text_[at_] == '\t')) {
            ++at_;
        }
    }
    bool Take(char c) {
        SkipSpace();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    std::optional<JsonValue> Value() {
        SkipSpace();
        if (at_ >= text_.size()) {
            return std::nullopt;
        }
        const char c = text_[at_];
        if (c == '"') {
            auto text = String();
            return text ? std::optional<JsonValue>(JsonValue{*text}) : std::nullopt;
        }
        if (c == '[') {
            return List();
        }
        if (c == '{') {
            return Members();
        }
        return Number();
    }

    std::optional<JsonValue> Number() {
        const std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') {
            ++at_;
        }
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            ++at_;
        }
        if (at_ == start) {
            return std::nullopt;
        }
        return JsonValue{std::stoll(std::string(text_.substr(start, at_ - start)))};
    }

    std::optional<std::string> String() {
        ++at_;
        std::string out;
        while (at_ < text_.size() && text_[at_] != '"') {
            const auto byte = static_cast<unsigned char>(text_[at_++]);
            if (byte < 0x20) {
                return std::nullopt;
            }
            if (byte != '\\') {
                out.push_back(static_cast<char>(byte));
                continue;
            }
            if (at_ >= text_.size()) {
                return std::nullopt;
            }
            const char kind = text_[at_++];
            const std::string_view simple = "\"\\/bfnrt";
            const std::string_view meant = "\"\\/\b\f\n\r\t";
            if (const auto found = simple.find(kind); found != std::string_view::npos) {
                out.push_back(meant[found]);
            } else if (kind == 'u' && at_ + 4 <= text_.size()) {
                const unsigned long code =
                    std::stoul(std::string(text_.substr(at_, 4)), nullptr, 16);
                if (code > 0xFF) {
                    return std::nullopt;
                }
                out.push_back(static_cast<char>(code));
                at_ += 4;
            } else {
                return std::nullopt;
            }
        }
        if (at_ >= text_.size()) {
            return std::nullopt;
        }
        ++at_;
        return out;
    }

    std::optional<JsonValue> List() {
        ++at_;
        auto items = std::make_shared<JsonValue::Array>();
        if (Take(']')) {
            return JsonValue{items};
        }
        do {
            auto item = Value();
            if (!item) {
                return std::nullopt;
            }
            items->push_back(std::move(*item));
        } while (Take(','));
        return Take(']') ? std::optional<JsonValue>(JsonValue{items}) : std::nullopt;
    }

    std::optional<JsonValue> Members() {
        ++at_;
        auto members = std::make_shared<JsonValue::Object>();
        if (Take('}')) {
            return JsonValue{members};
        }
        do {
            SkipSpace();
            if (at_ >= text_.size() || text_[at_] != '"') {
                return std::nullopt;
            }
            auto key = String();
            auto item = key && Take(':') ? Value() : std::nullopt;
            if (!item) {
                return std::nullopt;
            }
            (*members)[*key] = std::move(*item);
        } while (Take(','));
        return Take('}') ? std::optional<JsonValue>(JsonValue{members}) : std::nullopt;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<JsonValue> ReadJson(std::string_view text) {
    return JsonReader::Read(text);
}

}  // namespace tandemix::testing
