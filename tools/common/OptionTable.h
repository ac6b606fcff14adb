// A tool's options in one table that both parses its command line and writes its
// --help, so that every tool takes the same spellings: `--opt VALUE`, `--opt=VALUE`,
// `-o VALUE`, `--` before words that start with '-', and the last of a repeated
// option counts.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tools {

// What a command line asks for.
struct CCommandLine {
    enum class Outcome { Run, Help, UsageError };
    Outcome outcome = Outcome::Run;
    // The words that are not options, in order.
    std::vector<std::string> words;
    // Why the command line is wrong, for UsageError.
    std::string error;
};

class COptionTable {
public:
    // Where the words that are not options may stand.
    enum class Words {
        Anywhere,   // between the options too (a tool's input files)
        EndOptions, // the first one ends the options: a command and its own arguments follow
    };
    // Why a value is wrong, or nothing when it was taken.
    using Take = std::function<std::optional<std::string>(const std::string& value)>;

    // `tool` names the tool in its messages; `usage` is the text of the help's first
    // lines, `description` the paragraph under it.
    COptionTable(std::string tool, std::string usage, std::string description, Words words = Words::Anywhere);
    ~COptionTable();
    COptionTable(const COptionTable&) = delete;
    COptionTable& operator=(const COptionTable&) = delete;

    // `names` is e.g. "-t,--trace"; -h and --help are every table's own.
    void Flag(const std::string& names, const std::string& help, bool& on);
    void Value(const std::string& names, const std::string& valueName, const std::string& help, Take take);
    // A value taken as it is written.
    void Value(const std::string& names, const std::string& valueName, const std::string& help, std::string& into);
    // A value that may be given many times; each is taken in command-line order.
    void Repeated(const std::string& names, const std::string& valueName, const std::string& help, Take take);
    // The text of -h, --help in the help, in place of the English one.
    void HelpFlag(const std::string& help);
    // The options added after this are listed in the help under `title`.
    void Group(std::string title);
    // The help's text after the options.
    void Footer(std::string text);

    // The arguments after the program's name. --help wins over every error; otherwise
    // the first wrong value is the error.
    CCommandLine Parse(const std::vector<std::string>& arguments);
    std::string Help() const;
    // Shows the help or reports the usage error that `line` asks for and gives the exit
    // status; nothing when the tool is to go on.
    std::optional<int> EarlyExit(const CCommandLine& line) const;

private:
    void Check(const Take& take, const std::string& value);

    std::string m_tool;
    std::unique_ptr<CLI::App> m_app;
    Words m_words;
    std::string m_group;
    std::vector<std::string> m_collected;
    std::optional<std::string> m_firstError;
};

}
