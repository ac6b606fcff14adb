#include "tools/common/OptionTable.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <sstream>

#include "tools/common/ExitStatus.h"
#include "tools/common/Wording.h"

namespace tools {

namespace {

constexpr std::size_t kNameColumn = 30;

// "-c, --cpu 8051|8086|8098", long-only names indented past a short one, as
// help2man and the eye expect.
std::string OptionName(const CLI::Option& option)
{
    std::string names;
    for (const std::string& name : option.get_snames())
        names += (names.empty() ? "-" : ", -") + name;
    if (names.empty())
        names = "   ";
    for (const std::string& name : option.get_lnames())
        names += (names == "   " ? " --" : ", --") + name;
    if (option.get_type_size() > 0)
        names += " " + option.get_type_name();
    return names;
}

// Usage, description, the options in table order, then the footer.
class CHelpLayout : public CLI::FormatterBase {
public:
    explicit CHelpLayout(std::string usage) : m_usage(std::move(usage)) {}

    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override
    {
        std::ostringstream out;
        out << m_usage << "\n";
        if (!app->get_description().empty())
            out << "\n" << app->get_description() << "\n";
        // The help option comes last, after the tool's own.
        std::string group;
        for (const CLI::Option* option : app->get_options()) {
            if (!option->nonpositional() || option == app->get_help_ptr())
                continue;
            if (option->get_group() != group) {
                group = option->get_group();
                out << "\n" << group << ":\n";
            }
            CLI::detail::format_help(out, OptionName(*option), option->get_description(), kNameColumn);
        }
        const CLI::Option* help = app->get_help_ptr();
        CLI::detail::format_help(out, OptionName(*help), help->get_description(), kNameColumn);
        if (!app->get_footer().empty())
            out << "\n" << app->get_footer();
        return out.str();
    }

private:
    std::string m_usage;
};

// CLI11's words for a wrong command line, in the tools' own.
std::string Explain(const CLI::ParseError& error)
{
    std::string what = error.what();
    std::string option = what.substr(0, what.find(':'));
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error))
        return Say("option {1} needs a value", {option});
    if (dynamic_cast<const CLI::ConversionError*>(&error)) {
        // "Could not convert: --trace = yes": a value given to a switch.
        std::size_t name = what.find(": ") + 2;
        return Say("option {1} takes no value", {what.substr(name, what.find(" =") - name)});
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        std::string word = what.substr(what.find(':') + 2);
        return Say("unknown option '{1}'", {word.substr(0, word.find(' '))});
    }
    return what;
}

}

COptionTable::COptionTable(std::string tool, std::string usage, std::string description, Words words)
    : m_tool(std::move(tool)), m_app(std::make_unique<CLI::App>(std::move(description))), m_words(words),
      m_group(Say("Options"))
{
    m_app->formatter(std::make_shared<CHelpLayout>(std::move(usage)));
    m_app->set_help_flag("-h,--help", Say("show this text"));
    m_app->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    if (words == Words::EndOptions)
        m_app->prefix_command();
    else
        m_app->add_option("words", m_collected);
}

COptionTable::~COptionTable() = default;

void COptionTable::Flag(const std::string& names, const std::string& help, bool& on)
{
    m_app->add_flag(names, on, help)->group(m_group);
}

void COptionTable::HelpFlag(const std::string& help) { m_app->get_help_ptr()->description(help); }

void COptionTable::Group(std::string title) { m_group = std::move(title); }

void COptionTable::Check(const Take& take, const std::string& value)
{
    if (m_firstError)
        return;
    if (std::optional<std::string> why = take(value))
        m_firstError = *why;
}

void COptionTable::Value(const std::string& names, const std::string& valueName, const std::string& help, Take take)
{
    m_app->add_option_function<std::string>(names, [this, take](const std::string& value) { Check(take, value); }, help)
        ->type_name(valueName)
        ->group(m_group);
}

void COptionTable::Value(const std::string& names, const std::string& valueName, const std::string& help, std::string& into)
{
    Value(names, valueName, help, [&into](const std::string& value) -> std::optional<std::string> {
        into = value;
        return std::nullopt;
    });
}

void COptionTable::Repeated(const std::string& names, const std::string& valueName, const std::string& help, Take take)
{
    CLI::Option* option = m_app->add_option(names, help)->type_name(valueName)->expected(1);
    option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)->group(m_group);
    option->each([this, take](const std::string& value) { Check(take, value); });
}

void COptionTable::Footer(std::string text) { m_app->footer(std::move(text)); }

CCommandLine COptionTable::Parse(const std::vector<std::string>& arguments)
{
    CCommandLine line;
    m_collected.clear();
    m_firstError.reset();
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        m_app->parse(reversed);
    } catch (const CLI::CallForHelp&) {
        line.outcome = CCommandLine::Outcome::Help;
        return line;
    } catch (const CLI::ParseError& error) {
        // --help later on the line still asks for the help.
        for (const std::string& argument : arguments)
            if (argument == "--help" || argument == "-h") {
                line.outcome = CCommandLine::Outcome::Help;
                return line;
            }
            else if (argument == "--")
                break;
        line.outcome = CCommandLine::Outcome::UsageError;
        line.error = Explain(error);
        return line;
    }
    if (m_firstError) {
        line.outcome = CCommandLine::Outcome::UsageError;
        line.error = *m_firstError;
        return line;
    }
    if (m_words == Words::EndOptions) {
        line.words = m_app->remaining();
        if (!line.words.empty() && line.words.front() == "--")
            line.words.erase(line.words.begin());
        else if (!line.words.empty() && line.words.front().size() > 1 && line.words.front()[0] == '-') {
            line.outcome = CCommandLine::Outcome::UsageError;
            line.error = Say("unknown option '{1}'", {line.words.front()});
            line.words.clear();
        }
    } else {
        line.words = m_collected;
    }
    return line;
}

std::string COptionTable::Help() const { return m_app->help(); }

std::optional<int> COptionTable::EarlyExit(const CCommandLine& line) const
{
    switch (line.outcome) {
    case CCommandLine::Outcome::Help:
        std::fputs(Help().c_str(), stdout);
        return kExitOk;
    case CCommandLine::Outcome::UsageError:
        return UsageError(m_tool.c_str(), line.error);
    case CCommandLine::Outcome::Run:
        break;
    }
    return std::nullopt;
}

}
