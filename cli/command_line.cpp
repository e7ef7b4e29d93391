#include "command_line.h"

#include <algorithm>
#include <vector>

#include "text/suggestion.h"
#include "tool_error.h"

namespace kestra::tool {

namespace {

const OptionRule* findRule(std::span<const OptionRule> rules, std::string_view name) {
    const auto found = std::find_if(rules.begin(), rules.end(), [&](const OptionRule& rule) {
        return rule.name == name || (!rule.alias.empty() && rule.alias == name);
    });
    return found == rules.end() ? nullptr : &*found;
}

bool readsAsNumber(std::string_view argument) {
    return argument.size() >= 2 && argument[0] == '-' &&
           ((argument[1] >= '0' && argument[1] <= '9') || argument[1] == '.');
}

// "; did you mean --format?" for a long option within a typing slip of one the command takes.
std::string suggestion(std::string_view name, std::span<const OptionRule> rules) {
    if (!name.starts_with("--"))
        return {};
    std::vector<std::string_view> names;
    for (const OptionRule& rule : rules) {
        for (const std::string_view known : {rule.name, rule.alias}) {
            if (known.starts_with("--"))
                names.push_back(known);
        }
    }
    return didYouMean(name, names);
}

void record(Arguments& parsed, const OptionRule& rule, const std::string* value) {
    const std::string name(rule.name);
    if (parsed.has(name))
        throw ToolError("the option " + name + " is given twice");
    if (value)
        parsed.values.emplace(name, *value);
    else
        parsed.flags.insert(name);
}

} // namespace

bool Arguments::has(std::string_view name) const {
    return flags.find(name) != flags.end() || values.find(name) != values.end();
}

const std::string* Arguments::value(std::string_view name) const {
    const auto found = values.find(name);
    return found == values.end() ? nullptr : &found->second;
}

Arguments parseArguments(std::span<const std::string> arguments,
                         std::span<const OptionRule> rules) {
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            parsed.positionals.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals =
            argument.starts_with("--") ? argument.find('=') : std::string::npos;
        const std::string name = argument.substr(0, equals);
        const OptionRule* rule = findRule(rules, name);
        if (!rule) {
            if (!readsAsNumber(argument))
                throw ToolError("unknown option " + name + suggestion(name, rules));
            parsed.positionals.push_back(argument);
            continue;
        }
        if (!rule->takesValue) {
            if (equals != std::string::npos)
                throw ToolError("the option " + name + " takes no value");
            record(parsed, *rule, nullptr);
        } else if (equals != std::string::npos) {
            const std::string value = argument.substr(equals + 1);
            record(parsed, *rule, &value);
        } else {
            if (i + 1 == arguments.size())
                throw ToolError("the option " + name + " needs a value");
            record(parsed, *rule, &arguments[++i]);
        }
    }
    return parsed;
}

} // namespace kestra::tool
