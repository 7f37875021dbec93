#include "CommandLine.h"

#include <cstdio>

namespace cli {

const Texts English = {
    "unknown option '%s'",
    "option '%s' needs a value",
    "option '%s' takes no value",
    "Try '%s --help'.",
};

const Texts Croatian = {
    "nepoznata opcija \"%s\"",
    "opciji %s nedostaje vrijednost",
    "opcija %s ne prima vrijednost",
    "Upute: %s --help",
};

std::string VersionLine(std::string_view tool)
{
    return std::string(tool) + " (Tarvena) " TARVENA_VERSION "\n";
}

std::string Format(const char* pattern, std::string_view subject)
{
    std::string text = pattern;
    if (const size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, subject);
    return text;
}

std::string UsageErrorText(std::string_view tool, const Texts& texts, std::string_view message)
{
    return std::string(tool) + ": " + std::string(message) + "\n" + Format(texts.seeHelp, tool) + "\n";
}

CommandLine::CommandLine(const char* tool, std::initializer_list<Option> options, const Texts& texts)
    : tool_(tool), options_(options), texts_(texts)
{
}

const Option* CommandLine::Find(std::string_view name) const
{
    for (const Option& option : options_)
        if (name == option.name)
            return &option;
    return nullptr;
}

std::optional<int> CommandLine::Parse(int argc, const char* const* argv, const char* help)
{
    bool wantsHelp = false;
    bool wantsVersion = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            arguments_.insert(arguments_.end(), argv + i + 1, argv + argc);
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            arguments_.emplace_back(arg);
            continue;
        }
        if (arg == "-h") {
            wantsHelp = true;
            continue;
        }
        // A long option, with or without "=value". Single-dash words are
        // taken as long options too, as Qt's parser does in that mode.
        const std::string_view body = arg.substr(arg[1] == '-' ? 2 : 1);
        const size_t eq = body.find('=');
        const std::string_view name = body.substr(0, eq);
        const std::string shown = std::string(arg.substr(0, arg.size() - body.size())) + std::string(name);
        const Option* option = Find(name);
        const bool builtIn = !option && (name == "help" || name == "version");
        if (builtIn && eq == std::string_view::npos) {
            (name == "help" ? wantsHelp : wantsVersion) = true;
            continue;
        }
        if (!option && !builtIn)
            return UsageError(Format(texts_.unknownOption, shown));
        if (builtIn || !option->takesValue) {
            if (eq != std::string_view::npos)
                return UsageError(Format(texts_.unexpectedValue, shown));
            given_.emplace_back(name, std::string());
        } else if (eq != std::string_view::npos) {
            given_.emplace_back(name, body.substr(eq + 1));
        } else if (i + 1 < argc) {
            given_.emplace_back(name, argv[++i]);
        } else {
            return UsageError(Format(texts_.missingValue, shown));
        }
    }
    if (wantsHelp) {
        std::fputs(help, stdout);
        return 0;
    }
    if (wantsVersion) {
        std::fputs(VersionLine(tool_).c_str(), stdout);
        return 0;
    }
    return std::nullopt;
}

bool CommandLine::Has(std::string_view name) const
{
    for (const auto& [given, value] : given_)
        if (given == name)
            return true;
    return false;
}

std::string CommandLine::Value(std::string_view name) const
{
    for (auto it = given_.rbegin(); it != given_.rend(); ++it)
        if (it->first == name)
            return it->second;
    return std::string();
}

int CommandLine::UsageError(std::string_view message) const
{
    std::fputs(UsageErrorText(tool_, texts_, message).c_str(), stderr);
    return UsageStatus;
}

} // namespace cli
