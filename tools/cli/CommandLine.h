#pragma once
// The command line of a console tool, read the way GNU and Qt programs read
// theirs, so that the tools behave alike:
//
//   --name value, --name=value   an option with a value; the last one given counts
//   --name                       a flag; "--name=x" is an error, not a yes
//   --help, -h / --version       the usage text / "TOOL (Tarvena) VERSION", exit 0
//   --                           ends the options: what follows is an argument
//   -                            an argument (standard input or output)
//   anything else                an argument, wherever it stands
//
// A command line that cannot be understood is a usage error: the message
// names the option at fault and points to --help, and the exit status is 2.
// The messages come in the tool's language (English or Croatian).
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Exit status of a command line that cannot be understood.
constexpr int UsageStatus = 2;

// The texts a usage error is made of; %s is the option or the tool.
struct Texts {
    const char* unknownOption;
    const char* missingValue;
    const char* unexpectedValue;
    const char* seeHelp;
};
extern const Texts English;
extern const Texts Croatian;

struct Option {
    const char* name;          // without the dashes
    bool takesValue = false;
};

// "TOOL (Tarvena) VERSION\n", the version being the package's.
std::string VersionLine(std::string_view tool);

// "TOOL: MESSAGE\n" and the pointer to --help.
std::string UsageErrorText(std::string_view tool, const Texts& texts, std::string_view message);

// Fills a %s pattern of Texts.
std::string Format(const char* pattern, std::string_view subject);

class CommandLine {
public:
    CommandLine(const char* tool, std::initializer_list<Option> options, const Texts& texts);

    // Reads argv. Returns the exit status when the tool's work is done here:
    // 0 after printing `help` or the version line on stdout, UsageStatus after
    // printing the error on stderr. Returns nothing when the tool runs on.
    std::optional<int> Parse(int argc, const char* const* argv, const char* help);

    bool Has(std::string_view name) const;
    // The value of the option's last occurrence; empty when not given.
    std::string Value(std::string_view name) const;
    const std::vector<std::string>& Arguments() const { return arguments_; }

    // Prints a usage error the tool itself found after parsing (a missing
    // argument, a wrong value) and returns UsageStatus.
    int UsageError(std::string_view message) const;

private:
    const Option* Find(std::string_view name) const;

    const char* tool_;
    std::vector<Option> options_;
    const Texts& texts_;
    std::vector<std::pair<std::string, std::string>> given_;   // name, value
    std::vector<std::string> arguments_;
};

} // namespace cli
