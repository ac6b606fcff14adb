// zorlink: the serial link to an experiment box from the shell.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "tools/common/ExitStatus.h"
#include "tools/common/Numbers.h"
#include "tools/common/OptionTable.h"
#include "tools/common/OutputPath.h"
#include "tools/common/ToolMain.h"
#include "tools/zorlink/Command.h"
#include "tools/zorlink/ScriptLine.h"
#include "tools/zorlink/SourceCommands.h"

namespace zorlink {

namespace {

using tools::kExitFailed;
using tools::kExitOk;
using tools::kExitUsage;
using Why = std::optional<std::string>;

std::string CommandList()
{
    std::string text = "Commands:\n";
    char line[256];
    for (const auto& command : Commands()) {
        std::snprintf(line, sizeof line, "  %-38s %s\n", command.synopsis, command.help);
        text += line;
    }
    std::snprintf(line, sizeof line, "  %-38s %s\n", "script FILE|-", "run commands from FILE (or standard input)");
    text += line;
    text += "\nWith --debug-info these commands work on C lines (step then steps a line;\n"
            "break takes an ADDR as before):\n";
    for (const auto& command : SourceCommands()) {
        std::snprintf(line, sizeof line, "  %-38s %s\n", command.synopsis, command.help);
        text += line;
    }
    return text +
           "After run, continue, next, step and finish zorlink prints where the program stopped,\n"
           "as FUNCTION FILE:LINE (e.g. \"main blink.c:12\"); a stop outside the C lines prints\n"
           "\"?? ADDR\", one on a global's initialiser (which the startup runs before main)\n"
           "\"?? FILE:LINE\". where prints one such line per frame, innermost first. print shows\n"
           "NAME = VALUE: numbers in decimal, elements of char arrays as characters ('h'),\n"
           "pointers as 0xADDR, arrays and structures in braces ({x = 1, y = 2}); NAME may be\n"
           "followed by [N], .FIELD or ->FIELD and preceded by *. A line steps with temporary\n"
           "breakpoints where its code can lead, so a step costs a few frames on the line.\n";
}

// zorlink's options, up to the command: the table parses them and writes the help.
void AddOptions(tools::COptionTable& table, LinkOptions& options, bool& echo)
{
    table.Value("-d", "DEVICE", "serial device to use as port 0 (e.g. /dev/ttyUSB0, the path zorsim\nprints, or a port server's rfc2217://HOST:PORT or tcp://HOST:PORT)",
        options.device);
    table.Value("-p", "N", "port index: 0 is the first serial port, /dev/ttyS0 by default\n(default 0)",
        [&](const std::string& text) -> Why {
            std::optional<std::uint32_t> port = tools::ParseDecimal(text, 255);
            if (!port)
                return "-p needs a port index 0..255 (decimal)";
            options.port = int(*port);
            return std::nullopt;
        });
    table.Value("-b", "BAUD", "9600, 4800, 2400, 1200 or 600 (default 9600)", [&](const std::string& text) -> Why {
        std::optional<std::uint32_t> baud = tools::ParseDecimal(text, 1000000);
        for (int i = 0; baud && i < 5; ++i)
            if (DWORD(CCommPort::kBaudRates[i]) == *baud) {
                options.baudIndex = i;
                return std::nullopt;
            }
        return "-b needs one of 9600, 4800, 2400, 1200, 600";
    });
    table.Value("-c", "CPU", "CPU the board should carry: 8051, 8086 or 8098 (default\n8051); a board with another CPU is a failure",
        [&](const std::string& cpu) -> Why {
            if (cpu == "8051")
                options.cpu = CZORComm::CPU_8051;
            else if (cpu == "8086")
                options.cpu = CZORComm::CPU_8086;
            else if (cpu == "8098")
                options.cpu = CZORComm::CPU_8098;
            else
                return "-c needs 8051, 8086 or 8098";
            return std::nullopt;
        });
    table.Value("--debug-info", "PROGRAM.cdb",
        "debug a C program built with sdcc --debug at its source lines (the\n"
        ".ihx beside the .cdb is the program): the C commands below apply",
        options.debugInfo);
    table.Flag("--echo", "print each script line (\"> line\") before running it", echo);
    table.Flag("--reconnect",
        "when the serial adapter disappears under a command, wait for its\n"
        "device to come back, reopen it and ask for the board's reset key;\n"
        "then a single command is run again, and a script goes on with its\n"
        "next line (its exit status is then 1). A USB adapter given as\n"
        "/dev/ttyUSBn or /dev/ttyACMn is waited for under its name in\n"
        "/dev/serial/by-id/, as it may come back with another number",
        options.reconnect);
    table.Value("--reconnect-wait", "SECONDS",
        "how long --reconnect waits for the device, and then for the reset\nkey (decimal, 1..86400; default 100)",
        [&](const std::string& text) -> Why {
            std::optional<std::uint32_t> seconds = tools::ParseDecimal(text, 86400);
            if (!seconds || *seconds == 0)
                return "--reconnect-wait needs SECONDS, a decimal whole number 1..86400";
            options.reconnectSeconds = double(*seconds);
            return std::nullopt;
        });
    table.Value("--log-dir", "DIR",
        "where the communication log ZORCOMM.LOG is written (default\n$ZORKIT_LOG_DIR, else $XDG_STATE_HOME/zorkit, else\n"
        "~/.local/state/zorkit)",
        options.logDirectory);
    table.Footer(
        "Numbers: ADDR and BYTE are hexadecimal (1F00, 0x1F00 and 1F00H are the same);\n"
        "COUNT, SECONDS, MS and the other settings are decimal.\n"
        "\n" +
        CommandList() +
        "\n"
        "The link is tested (and the CPU detected) before the first command that needs it.\n"
        "A script runs one command per line on the same link, so breakpoints and the link\n"
        "state carry over; # starts a comment anywhere on a line. It stops at the first\n"
        "failing command, except on a line starting with '-', whose failure is reported\n"
        "and the script goes on.\n"
        "\n"
        "A device that cannot be opened is named with the reason (no such device, permission\n"
        "denied, in use, not a serial device) and what to do; 'zorlink ports' lists the devices.\n"
        "\n"
        "Exit status: 0 when every command succeeded, 1 at the first failure, 2 for usage errors.\n");
}

int Usage(const std::string& message) { return tools::UsageError("zorlink", message); }

// Runs one command; prints why it failed. Returns the exit status it deserves.
int RunCommand(CLinkSession& session, const Arguments& words, const std::string& where)
{
    const CommandEntry* command = FindSourceCommand(session, words[0]);
    if (!command)
        command = FindCommand(words[0]);
    if (!command) {
        std::fprintf(stderr, "zorlink: %sunknown command '%s'\n", where.c_str(), words[0].c_str());
        return kExitUsage;
    }
    CommandResult result = command->run(session, Arguments(words.begin() + 1, words.end()));
    // A usage error ends with the synopsis, unless its reason already gives it.
    if (!result.ok) {
        const bool showSynopsis = result.usage && result.reason.find(command->synopsis) == std::string::npos;
        std::fprintf(stderr, "zorlink: %s%s: %s%s\n", where.c_str(), command->name, result.reason.c_str(),
                     showSynopsis ? (" (usage: " + std::string(command->synopsis) + ")").c_str() : "");
    }
    // The library's own words come after zorlink's.
    for (std::string text : session.TakeLibraryMessages()) {
        for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 3)
            text.replace(at, 1, "\n  ");
        std::fprintf(stderr, "  the library says: %s\n", text.c_str());
    }
    if (result.ok)
        return kExitOk;
    return result.usage ? kExitUsage : kExitFailed;
}

// What became of a command's failure with --reconnect.
enum class Recovery {
    NotGone, // the adapter is there (or --reconnect was not given): the failure stands
    Back,    // the adapter went and came back, and the board was reset
    Lost,    // it went and did not come back, or the board was not reset (said on stderr)
};

// After a failed command: with --reconnect, a serial adapter that went away is waited
// for, reopened and the board reset, for the script and the single command alike.
Recovery RecoverAdapter(CLinkSession& session, const std::string& where)
{
    if (!session.Options().reconnect || !session.AdapterGone())
        return Recovery::NotGone;
    if (!session.Reconnect(session.Options().reconnectSeconds)) {
        std::fprintf(stderr, "zorlink: %s%s\n", where.c_str(), session.Error().c_str());
        return Recovery::Lost;
    }
    return Recovery::Back;
}

int RunScript(CLinkSession& session, const std::string& name, bool echo)
{
    std::ifstream file;
    std::istream* in = &std::cin;
    std::error_code error;
    if (std::filesystem::is_directory(name == "-" ? "/dev/stdin" : name, error)) {
        std::fprintf(stderr, "zorlink: script %s is a directory, not a file of commands\n",
                     name == "-" ? "on standard input" : name.c_str());
        return kExitFailed;
    }
    if (name != "-") {
        file.open(name);
        if (!file) {
            std::fprintf(stderr, "zorlink: cannot read script %s: %s\n", name.c_str(), std::strerror(errno));
            return kExitFailed;
        }
        in = &file;
    }
    int number = 0;
    int status = kExitOk;
    for (std::string line; std::getline(*in, line);) {
        ++number;
        std::optional<ScriptLine> parsed = ParseScriptLine(line);
        if (!parsed)
            continue;
        std::string where = (name == "-" ? std::string("stdin") : name) + ":" + std::to_string(number) + ": ";
        if (echo) {
            std::printf("> %s\n", line.c_str());
            std::fflush(stdout);
        }
        int result = RunCommand(session, parsed->words, where);
        if (result != kExitOk) {
            Recovery recovery = RecoverAdapter(session, where);
            if (recovery == Recovery::Lost)
                return kExitFailed;
            if (recovery == Recovery::Back) {
                status = kExitFailed;
                continue;
            }
        }
        if (result != kExitOk && !parsed->tolerated)
            return result;
    }
    if (in->bad()) {
        std::fprintf(stderr, "zorlink: cannot read script %s\n", name.c_str());
        return kExitFailed;
    }
    return status;
}

int Run(int argc, char** argv)
{
    LinkOptions options;
    bool echo = false;
    tools::COptionTable table("zorlink",
        "Usage: zorlink [-d DEVICE | -p N] [-b BAUD] [-c 8051|8086|8098] [--log-dir DIR] COMMAND [ARGS]\n"
        "       zorlink [options] script FILE|-",
        "Talks to the resident monitor of an experiment box over a serial line.", tools::COptionTable::Words::EndOptions);
    AddOptions(table, options, echo);
    tools::CCommandLine line = table.Parse({argv + 1, argv + argc});
    if (std::optional<int> status = table.EarlyExit(line))
        return *status;
    if (line.words.empty())
        return Usage("no command given");
    if (!options.logDirectory.empty()) {
        if (auto why = tools::CheckOutputDirectory(options.logDirectory)) {
            std::fprintf(stderr, "zorlink: --log-dir: %s\n", why->c_str());
            return kExitFailed;
        }
    }
    const Arguments& words = line.words;
    CLinkSession session(options);
    if (!options.debugInfo.empty()) {
        std::string why;
        session.SetSource(OpenSourceSession(options.debugInfo, why));
        if (!session.Source()) {
            std::fprintf(stderr, "zorlink: --debug-info: %s\n", why.c_str());
            return kExitFailed;
        }
    }
    if (words[0] == "script") {
        if (words.size() != 2)
            return Usage("script needs one FILE (or - for standard input)");
        return RunScript(session, words[1], echo);
    }
    if (!FindSourceCommand(session, words[0]) && !FindCommand(words[0]))
        return Usage("unknown command '" + words[0] + "'");
    // With --reconnect a command that lost its adapter runs again once the board is back.
    for (;;) {
        int result = RunCommand(session, words, "");
        if (result == kExitOk)
            return kExitOk;
        Recovery recovery = RecoverAdapter(session, "");
        if (recovery == Recovery::NotGone)
            return result;
        if (recovery == Recovery::Lost)
            return kExitFailed;
        std::fprintf(stderr, "zorlink: running %s again\n", words[0].c_str());
    }
}

}

}

int main(int argc, char** argv) { return tools::RunTool("zorlink", zorlink::Run, argc, argv); }
