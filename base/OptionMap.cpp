#include "base/OptionMap.h"

#include <algorithm>

namespace tandemix {
namespace {

bool Decides(const std::string& entry, std::string_view key) {
    return !entry.empty() && std::string_view(entry).starts_with(key);
}

}  // namespace

void OptionMap::Set(std::string_view key, std::string_view value) {
    for (std::string& entry : entries_) {
        if (!Decides(entry, key)) {
            continue;
        }
        // The entry keeps its own key text, which may be longer than the key looked for.
        entry.resize(std::min(entry.find(';'), entry.size()));
        entry.append(";").append(value);
        return;
    }
    std::string entry(key);
    entry.append(";").append(value);
    entries_.push_back(std::move(entry));
}

std::string OptionMap::Get(std::string_view key) const {
    for (const std::string& entry : entries_) {
        if (Decides(entry, key)) {
            const auto separator = entry.find(';');
            return separator == std::string::npos ? std::string() : entry.substr(separator + 1);
        }
    }
    return {};
}

std::vector<std::string> OptionMap::GetAll(std::string_view key) const {
    std::vector<std::string> values;
    for (const std::string& entry : entries_) {
        if (Decides(entry, key)) {
            const auto separator = entry.find(';');
            values.push_back(separator == std::string::npos ? std::string()
                                                            : entry.substr(separator + 1));
        }
    }
    return values;
}

void OptionMap::CopyTo(OptionMap& destination) const {
    // Copy first: the destination may be this map.
    const std::vector<std::string> copy = entries_;
    destination.entries_.insert(destination.entries_.end(), copy.begin(), copy.end());
}

}  // namespace tandemix
