#pragma once

#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestra::tool {

struct OptionRule {
    std::string_view name; // "--format", "-o": the name the command asks Arguments for
    bool takesValue = false;
    std::string_view alias = {};  // the same option's other name: "--output" for "-o"
    std::string_view values = {}; // the values it takes, when they are a few words: "16 32"
};

// A command's arguments after the command name, split into options and positional arguments.
struct Arguments {
    std::vector<std::string> positionals;
    std::map<std::string, std::string, std::less<>> values;
    std::set<std::string, std::less<>> flags;

    bool has(std::string_view name) const;
    // The option's value, or null when it was not given.
    const std::string* value(std::string_view name) const;
};

// Options may stand anywhere among the positional arguments, as "--name VALUE", "--name=VALUE"
// or "-o VALUE"; "--" ends them. An argument that starts with "-" but names no option is taken
// as positional when it reads as a number ("-5", "-.5") and refused otherwise, so value texts
// such as -5 need no "--". Throws ToolError for an unknown, repeated or incomplete option.
Arguments parseArguments(std::span<const std::string> arguments, std::span<const OptionRule> rules);

} // namespace kestra::tool
