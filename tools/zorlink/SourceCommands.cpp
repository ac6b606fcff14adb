#include "tools/zorlink/SourceCommands.h"

#include <cstdio>

#include "tools/cdebug/DebugInfo.h"
#include "tools/cdebug/SourceDebugger.h"
#include "tools/common/ProgramFile.h"

namespace zorlink {

class CSourceSession {
public:
    cdebug::CDebugInfo info;
    std::vector<BYTE> code = std::vector<BYTE>(0x10000);
    WORD entry = 0;

    // The debugger on the session's link, made again when the link was.
    cdebug::CSourceDebugger* Debugger(CLinkSession& session, CZORComm& link)
    {
        if (!m_debugger || m_link != &link) {
            m_link = &link;
            m_debugger = std::make_unique<cdebug::CSourceDebugger>(link, info, code, [&session, &link] {
                constexpr double kStopSeconds = 30;
                return session.WaitFor([&link] { return !link.IsZORRunning(); }, kStopSeconds) && !session.AdapterGone();
            });
        }
        return m_debugger.get();
    }

private:
    CZORComm* m_link = nullptr;
    std::unique_ptr<cdebug::CSourceDebugger> m_debugger;
};

void CloseSourceSession(CSourceSession* source) { delete source; }

std::unique_ptr<CSourceSession, void (*)(CSourceSession*)> OpenSourceSession(const std::string& path, std::string& error)
{
    std::unique_ptr<CSourceSession, void (*)(CSourceSession*)> none(nullptr, CloseSourceSession);
    std::unique_ptr<CSourceSession, void (*)(CSourceSession*)> source(new CSourceSession, CloseSourceSession);
    std::string stem = path;
    for (const char* extension : {".cdb", ".ihx", ".hex"})
        if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, extension) == 0)
            stem.resize(stem.size() - 4);
    if (!source->info.Load(stem + ".cdb")) {
        error = source->info.Error();
        return none;
    }
    CProgramFile program;
    if (!program.Load(stem + ".ihx", ProgramFormat::Hex, 0)) {
        error = "the program beside the debug information: " + program.GetError();
        return none;
    }
    bool haveEntry = false;
    for (const CIntelHex::Run& run : program.GetRuns()) {
        std::copy(run.bytes.begin(), run.bytes.end(), source->code.begin() + long(run.address));
        // The jumps from the 8051's vectors are three bytes; the program starts with its own code.
        if (run.bytes.size() > 3 && !haveEntry) {
            source->entry = WORD(run.address);
            haveEntry = true;
        }
    }
    return source;
}

namespace {

// The debugger, with the link connected.
cdebug::CSourceDebugger* DebuggerOf(CLinkSession& session, CommandResult& failure)
{
    CZORComm* link = session.ConnectedLink();
    if (!link) {
        failure = CommandResult::Failure(session.Error());
        return nullptr;
    }
    return session.Source()->Debugger(session, *link);
}

CommandResult PrintStop(cdebug::CSourceDebugger& debugger, bool ok)
{
    if (!ok)
        return CommandResult::Failure(debugger.Error());
    std::vector<cdebug::CFrame> frames = debugger.Where();
    std::printf("%s\n", frames.empty() ? "stopped" : debugger.Describe(frames.front()).c_str());
    std::fflush(stdout);
    return CommandResult::Success();
}

// Runs `body` with the debugger, or says why there is none.
template <typename Body>
CommandResult WithDebugger(CLinkSession& session, Body body)
{
    CommandResult failure = CommandResult::Success();
    cdebug::CSourceDebugger* debugger = DebuggerOf(session, failure);
    return debugger ? body(*debugger) : failure;
}

CommandResult Break(CLinkSession& session, const Arguments& args)
{
    if (args.size() != 1)
        return CommandResult::Usage("needs FILE:LINE, a FUNCTION or an ADDR");
    const CommandEntry* byAddress = FindCommand("break");
    const bool isSource = args[0].find(':') != std::string::npos || session.Source()->info.FunctionNamed(args[0]);
    if (!isSource)
        return byAddress->run(session, args);
    return WithDebugger(session, [&](cdebug::CSourceDebugger& debugger) {
        std::optional<WORD> address = debugger.Break(args[0]);
        if (!address)
            return CommandResult::Failure(debugger.Error());
        const cdebug::CLineEntry* line = session.Source()->info.LineAt(*address);
        std::printf("breakpoint at %s:%d (%04X)\n", line ? line->file.c_str() : "?", line ? line->line : 0, unsigned(*address));
        std::fflush(stdout);
        return CommandResult::Success();
    });
}

CommandResult Run(CLinkSession& session, const Arguments& args)
{
    if (!args.empty())
        return FindCommand("run")->run(session, args);
    return WithDebugger(session, [&](cdebug::CSourceDebugger& debugger) {
        return PrintStop(debugger, debugger.Start(session.Source()->entry));
    });
}

template <bool (cdebug::CSourceDebugger::*Operation)()>
CommandResult Motion(CLinkSession& session, const Arguments& args)
{
    if (!args.empty())
        return CommandResult::Usage("takes no arguments");
    return WithDebugger(session, [&](cdebug::CSourceDebugger& debugger) {
        return PrintStop(debugger, (debugger.*Operation)());
    });
}

CommandResult Where(CLinkSession& session, const Arguments& args)
{
    if (!args.empty())
        return CommandResult::Usage("takes no arguments");
    return WithDebugger(session, [&](cdebug::CSourceDebugger& debugger) {
        if (!debugger.Stopped())
            return CommandResult::Failure("the program has not stopped yet; run it first");
        for (const cdebug::CFrame& frame : debugger.Where())
            std::printf("%s\n", debugger.Describe(frame).c_str());
        std::fflush(stdout);
        return CommandResult::Success();
    });
}

CommandResult Print(CLinkSession& session, const Arguments& args)
{
    if (args.empty())
        return CommandResult::Usage("needs a NAME");
    std::string expression;
    for (const std::string& word : args)
        expression += word;
    return WithDebugger(session, [&](cdebug::CSourceDebugger& debugger) {
        std::optional<std::string> text = debugger.Print(expression);
        if (!text)
            return CommandResult::Failure(debugger.Error());
        std::printf("%s\n", text->c_str());
        std::fflush(stdout);
        return CommandResult::Success();
    });
}

CommandResult Set(CLinkSession& session, const Arguments& args)
{
    std::string joined;
    for (const std::string& word : args)
        joined += word + " ";
    std::size_t equals = joined.find('=');
    if (equals == std::string::npos)
        return CommandResult::Usage("needs NAME = VALUE");
    return WithDebugger(session, [&](cdebug::CSourceDebugger& debugger) {
        if (!debugger.Set(joined.substr(0, equals), joined.substr(equals + 1)))
            return CommandResult::Failure(debugger.Error());
        return CommandResult::Success();
    });
}

}

const std::vector<CommandEntry>& SourceCommands()
{
    using cdebug::CSourceDebugger;
    static const std::vector<CommandEntry> table = {
        {"break", "break FILE:LINE|FUNCTION|ADDR", "a breakpoint on a C line or a function's first line; prints \"breakpoint at FILE:LINE (ADDR)\"", Break},
        {"run", "run", "run the program from its start to a breakpoint; prints where it stopped", Run},
        {"continue", "continue", "run on from the stop to a breakpoint", Motion<&CSourceDebugger::Continue>},
        {"next", "next", "run to the next C line, over calls", Motion<&CSourceDebugger::Next>},
        {"step", "step", "run to the next C line, into a called function", Motion<&CSourceDebugger::Step>},
        {"finish", "finish", "run until the current function has returned", Motion<&CSourceDebugger::Finish>},
        {"where", "where", "the call stack, innermost first, one \"FUNCTION FILE:LINE\" a line", Where},
        {"print", "print NAME", "a variable of the stopped function or a global by its type: \"i = 7\", \"buf[0] = 'h'\"", Print},
        {"set", "set NAME = VALUE", "write a number, 'c' or a float into a variable", Set},
    };
    return table;
}

const CommandEntry* FindSourceCommand(const CLinkSession& session, const std::string& name)
{
    if (!session.Source())
        return nullptr;
    for (const CommandEntry& command : SourceCommands())
        if (name == command.name)
            return &command;
    return nullptr;
}

}
