#include "tools/zorsim/Console.h"

#include <sstream>
#include <vector>

#include "tools/zorsim/DeviceCommands.h"
#include "tools/zorsim/FaultNames.h"
#include "tools/zorsim/Options.h"

namespace zorsim {

using zorkit::sim::BoardMode;
using zorkit::sim::CVirtualBoard;
using zorkit::sim::Fault;

namespace {

const char* ModeName(BoardMode mode)
{
    switch (mode) {
    case BoardMode::Monitor: return "monitor";
    case BoardMode::HostAnswer: return "waiting for the host's answer to a block";
    case BoardMode::Running: return "running until the stop report";
    case BoardMode::RunningFree: return "running free (until reset)";
    case BoardMode::Keypad: return "keypad (until reset)";
    case BoardMode::BannerSent: return "banner sent, waiting for the host";
    case BoardMode::EchoCheck: return "echo test";
    }
    return "?";
}

ConsoleAction Reset(CVirtualBoard& board, const std::string&, std::ostream& reply)
{
    board.PressReset();
    reply << "reset pressed\n";
    return ConsoleAction::Continue;
}

ConsoleAction ArmFault(CVirtualBoard& board, const std::string& argument, std::ostream& reply)
{
    std::string error;
    std::optional<CArmedFault> armed = ParseFault(argument, error);
    if (!armed) {
        reply << "error: " << error << "\n";
        return ConsoleAction::Continue;
    }
    if (armed->fault == Fault::WrongAck)
        board.InjectWrongAck(armed->wrongByte);
    else
        board.InjectFault(armed->fault);
    reply << "armed " << argument << "\n";
    return ConsoleAction::Continue;
}

ConsoleAction Silent(CVirtualBoard& board, const std::string& argument, std::ostream& reply)
{
    if (argument != "on" && argument != "off") {
        reply << "error: silent takes on or off\n";
        return ConsoleAction::Continue;
    }
    board.SetSilent(argument == "on");
    reply << "silent " << argument << "\n";
    return ConsoleAction::Continue;
}

ConsoleAction HangUp(CVirtualBoard& board, const std::string&, std::ostream& reply)
{
    board.HangUp();
    reply << "line hung up\n";
    return ConsoleAction::Quit;
}

ConsoleAction Status(CVirtualBoard& board, const std::string&, std::ostream& reply)
{
    reply << "line " << board.SlavePath() << ", CPU register image " << board.Registers().size()
          << " bytes, " << ModeName(board.Mode()) << (board.IsSilent() ? ", silent" : "") << "\n";
    for (const CFaultName& entry : kFaultNames)
        if (std::size_t armed = board.ArmedFaults(entry.fault))
            reply << "armed: " << entry.name << " x" << armed << "\n";
    return ConsoleAction::Continue;
}

ConsoleAction Quit(CVirtualBoard&, const std::string&, std::ostream&)
{
    return ConsoleAction::Quit;
}

struct CConsoleCommand {
    const char* name;
    ConsoleAction (*run)(CVirtualBoard&, const std::string&, std::ostream&);
};

constexpr CConsoleCommand kCommands[] = {
    {"reset", Reset},
    {"fault", ArmFault},
    {"silent", Silent},
    {"hangup", HangUp},
    {"status", Status},
    {"quit", Quit},
};

}

ConsoleAction RunConsoleLine(CVirtualBoard& board, const std::string& line, std::ostream& reply, std::ostream& shown)
{
    std::istringstream split(line);
    std::vector<std::string> words;
    for (std::string word; split >> word;)
        words.push_back(word);
    if (RunDeviceCommand(board, words, reply, shown))
        return ConsoleAction::Continue;
    std::istringstream again(line);
    std::string name, argument, extra;
    again >> name >> argument >> extra;
    if (name.empty())
        return ConsoleAction::Continue;
    if (!extra.empty()) {
        reply << "error: too many words in '" << line << "'\n";
        return ConsoleAction::Continue;
    }
    for (const CConsoleCommand& command : kCommands)
        if (name == command.name)
            return command.run(board, argument, reply);
    reply << "error: unknown command '" << name << "' (reset, fault, silent, hangup, status, quit, switch, button, key, knob, pulse, show)\n";
    return ConsoleAction::Continue;
}

}
