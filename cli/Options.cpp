#include "Options.h"

namespace orvenna::cli {

std::optional<int> plainNumber(const std::string& text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

Options::Options(std::set<std::string> valued, std::set<std::string> flags)
    : valued_(std::move(valued)), flags_(std::move(flags)) {}

std::string Options::parse(const std::vector<std::string>& args, std::size_t first) {
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (flags_.count(name) != 0) {
            seenFlags_.insert(name);
        } else if (valued_.count(name) != 0) {
            if (i + 1 >= args.size()) return name + ": missing value";
            values_[name] = args[++i];
        } else if (name.rfind("--", 0) == 0) {
            return name + ": unknown option";
        } else {
            return name + ": unexpected argument";
        }
    }
    return {};
}

std::optional<std::string> Options::value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

}  // namespace orvenna::cli
