// A small parser for "--name value" and "--flag" options.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orvenna::cli {

// A plain decimal number of at most `maxDigits` digits (no sign, no blanks), or nothing.
std::optional<int> plainNumber(const std::string& text, std::size_t maxDigits);

class Options {
public:
    // `valued` options take the next argument; `flags` take none. Anything else is an error.
    Options(std::set<std::string> valued, std::set<std::string> flags);

    // Parses args[first..]; returns an error naming the argument, or empty on success.
    std::string parse(const std::vector<std::string>& args, std::size_t first);

    std::optional<std::string> value(const std::string& name) const;
    bool flag(const std::string& name) const { return seenFlags_.count(name) != 0; }

private:
    std::set<std::string> valued_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
    std::set<std::string> seenFlags_;
};

}  // namespace orvenna::cli
