#include "tools/zorlink/Command.h"

#include <algorithm>
#include <cstdio>

#include "zorkit/platform/core/Time.h"
#include "tools/common/Numbers.h"
#include "tools/common/ProgramDownload.h"
#include "tools/common/ProgramFile.h"
#include "tools/zorlink/ControlCommand.h"
#include "tools/zorlink/PortsCommand.h"
#include "tools/zorlink/ProgressBar.h"

namespace zorlink {

namespace {

constexpr DWORD kUploadChunk = CZORComm::kMaxUploadBytes;
constexpr DWORD kDownloadChunk = CZORComm::kMaxDownloadBytes;
constexpr WORD kDefaultLoadAddress = 0x1100;

void PrintBytes(WORD address, const std::vector<BYTE>& bytes)
{
    for (std::size_t at = 0; at < bytes.size(); at += 16) {
        std::string line = tools::Hex(WORD(address + at), 4) + ":";
        for (std::size_t i = at; i < std::min(bytes.size(), at + 16); ++i)
            line += " " + tools::Hex(bytes[i], 2);
        std::puts(line.c_str());
    }
    std::fflush(stdout);
}

CommandResult NeedLink(CLinkSession& session, CZORComm*& link)
{
    link = session.ConnectedLink();
    return link ? CommandResult::Success() : CommandResult::Failure(session.Error());
}

CommandResult Failed(CLinkSession& session) { return CommandResult::Failure(session.FailureReason()); }

using tools::ParseDecimal;
using tools::ParseHex;

std::optional<WORD> ParseAddress(const std::string& text)
{
    auto value = ParseHex(text, 0xFFFF);
    return value ? std::optional<WORD>(WORD(*value)) : std::nullopt;
}

// A range of memory that runs past the end of its space, named; nothing when it fits.
std::optional<std::string> RangePastEnd(bool external, std::uint32_t address, std::size_t count)
{
    const std::uint32_t size = external ? 0x10000 : 0x100;
    if (address + count <= size)
        return std::nullopt;
    int digits = external ? 4 : 2;
    return std::string(external ? "ext" : "int") + " " + tools::Hex(address, digits) + "-" +
           tools::Hex(std::uint32_t(address + count - 1), digits) + " runs past " + tools::Hex(size - 1, digits) + " (" +
           std::to_string(count) + " bytes from " + tools::Hex(address, digits) + ")";
}

std::optional<std::vector<BYTE>> ParseBytes(Arguments::const_iterator first, Arguments::const_iterator last)
{
    std::vector<BYTE> bytes;
    for (auto it = first; it != last; ++it) {
        auto value = ParseHex(*it, 0xFF);
        if (!value)
            return std::nullopt;
        bytes.push_back(BYTE(*value));
    }
    return bytes;
}

// "ext" or "int"; the internal memory has 256 bytes.
std::optional<bool> ParseSpace(const std::string& text)
{
    if (text == "ext")
        return true;
    if (text == "int")
        return false;
    return std::nullopt;
}

CommandResult Connect(CLinkSession& session, const Arguments& args)
{
    if (!args.empty())
        return CommandResult::Usage("connect takes no arguments");
    CZORComm* link = session.Link();
    if (!link)
        return CommandResult::Failure(session.Error());
    if (!session.TestConnection(*link))
        return CommandResult::Failure(session.Error());
    std::printf("%s\n", CpuName(link->GetZORCPUType()));
    std::fflush(stdout);
    return CommandResult::Success();
}

CommandResult Read(CLinkSession& session, const Arguments& args)
{
    if (args.size() != 3)
        return CommandResult::Usage("takes three arguments, not " + std::to_string(args.size()));
    auto external = ParseSpace(args[0]);
    auto address = ParseAddress(args[1]);
    auto count = ParseDecimal(args[2], 0x10000);
    if (!external || !address || !count || *count == 0)
        return CommandResult::Usage("the memory is ext or int, ADDR hexadecimal 0..FFFF, COUNT decimal 1..65536");
    if (auto past = RangePastEnd(*external, *address, *count))
        return CommandResult::Usage(*past);
    CZORComm* link;
    if (auto result = NeedLink(session, link); !result.ok)
        return result;
    std::vector<BYTE> bytes(*count);
    for (DWORD done = 0; done < *count; done += kUploadChunk) {
        DWORD n = std::min(kUploadChunk, DWORD(*count) - done);
        WORD at = WORD(*address + done);
        BOOL ok = *external ? link->ExMemUld(bytes.data() + done, n, at) : link->InMemUld(bytes.data() + done, n, at);
        if (!ok)
            return Failed(session);
    }
    PrintBytes(*address, bytes);
    return CommandResult::Success();
}

CommandResult Write(CLinkSession& session, const Arguments& args)
{
    if (args.size() < 3)
        return CommandResult::Usage("needs the memory, an address and at least one byte");
    auto external = ParseSpace(args[0]);
    auto address = ParseAddress(args[1]);
    auto bytes = ParseBytes(args.begin() + 2, args.end());
    if (!external || !address || !bytes)
        return CommandResult::Usage("the memory is ext or int, ADDR hexadecimal 0..FFFF, bytes hexadecimal 0..FF");
    if (auto past = RangePastEnd(*external, *address, bytes->size()))
        return CommandResult::Usage(*past);
    CZORComm* link;
    if (auto result = NeedLink(session, link); !result.ok)
        return result;
    for (DWORD done = 0; done < bytes->size(); done += kDownloadChunk) {
        DWORD n = std::min(kDownloadChunk, DWORD(bytes->size()) - done);
        WORD at = WORD(*address + done);
        BYTE* data = bytes->data() + done;
        if (!(*external ? link->ExMemDld(data, n, at) : link->InMemDld(data, n, at)))
            return Failed(session);
    }
    return CommandResult::Success();
}

CommandResult Registers(CLinkSession& session, const Arguments& args)
{
    auto bytes = ParseBytes(args.begin(), args.end());
    if (!bytes)
        return CommandResult::Usage("bytes are hexadecimal 0..FF");
    CZORComm* link;
    if (auto result = NeedLink(session, link); !result.ok)
        return result;
    std::size_t size = std::size_t(link->GetZORCPUType());
    if (size == 0)
        return CommandResult::Failure("the board's CPU type is not known; run connect first");
    if (bytes->empty()) {
        std::vector<BYTE> image(size);
        if (!link->RegisterUld(image.data()))
            return Failed(session);
        PrintBytes(0, image);
        return CommandResult::Success();
    }
    if (bytes->size() != size)
        return CommandResult::Usage("the " + std::string(CpuName(link->GetZORCPUType())) + " register image has " +
                                    std::to_string(size) + " bytes, " + std::to_string(bytes->size()) + " given");
    return link->RegisterDld(bytes->data()) ? CommandResult::Success() : Failed(session);
}

CommandResult Load(CLinkSession& session, const Arguments& given)
{
    Arguments args = given;
    ProgramFormat format = ProgramFormat::Detect;
    if (!args.empty() && args[0] == "--format") {
        auto named = args.size() > 1 ? ProgramFormatFromName(args[1]) : std::nullopt;
        if (!named)
            return CommandResult::Usage("--format takes hex or bin");
        format = *named;
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args.size() > 2)
        return CommandResult::Usage("needs a FILE, and perhaps an ADDR");
    std::optional<WORD> base = kDefaultLoadAddress;
    if (args.size() > 1 && !(base = ParseAddress(args[1])))
        return CommandResult::Usage("ADDR is hexadecimal 0..FFFF");
    CProgramFile program;
    if (!program.Load(args[0], format, *base))
        return CommandResult::Failure(program.GetError());
    if (program.IsHex() && args.size() > 1)
        return CommandResult::Usage("an Intel HEX file carries its own addresses; no ADDR");
    std::size_t total = 0, done = 0;
    for (const auto& run : program.GetRuns())
        total += run.bytes.size();
    if (total == 0)
        return CommandResult::Failure(args[0] + ": holds no program bytes to load");
    CZORComm* link;
    if (auto result = NeedLink(session, link); !result.ok)
        return result;
    CProgressBar progress("load", total);
    if (!DownloadProgram(*link, program.GetRuns(), [&](WORD, const BYTE*, std::size_t n) { progress.Update(done += n); }))
        return Failed(session);
    return CommandResult::Success();
}

template <BOOL (CZORComm::*Operation)(WORD)>
CommandResult AddressCommand(CLinkSession& session, const Arguments& args)
{
    auto address = args.size() == 1 ? ParseAddress(args[0]) : std::nullopt;
    if (!address)
        return CommandResult::Usage("an address 0..FFFF (hexadecimal) is required");
    CZORComm* link;
    if (auto result = NeedLink(session, link); !result.ok)
        return result;
    return (link->*Operation)(*address) ? CommandResult::Success() : Failed(session);
}

CommandResult Run(CLinkSession& session, const Arguments& args)
{
    CommandResult result = AddressCommand<&CZORComm::ProgExec>(session, args);
    if (result.ok && session.Link()->IsProgExcAll())
        std::fprintf(stderr, "zorlink: the board now runs the program freely (no breakpoints) and reports no stop;\n"
                             "  to get it back, run 'zorlink await-reset' and press the board's reset key\n");
    return result;
}

template <BOOL (CZORComm::*Operation)()>
CommandResult PlainCommand(CLinkSession& session, const Arguments& args)
{
    if (!args.empty())
        return CommandResult::Usage("this command takes no arguments");
    CZORComm* link;
    if (auto result = NeedLink(session, link); !result.ok)
        return result;
    return (link->*Operation)() ? CommandResult::Success() : Failed(session);
}

std::optional<double> ParseSeconds(const Arguments& args, double byDefault)
{
    if (args.empty())
        return byDefault;
    auto value = args.size() == 1 ? ParseDecimal(args[0], 86400) : std::nullopt;
    return value ? std::optional<double>(*value) : std::nullopt;
}

CommandResult Wait(CLinkSession& session, const Arguments& args)
{
    auto seconds = ParseSeconds(args, 10);
    if (!seconds)
        return CommandResult::Usage("SECONDS is a decimal whole number, 0..86400");
    CZORComm* link = session.Link();
    if (!link)
        return CommandResult::Failure(session.Error());
    if (link->IsProgExcAll())
        return CommandResult::Failure("the program runs without breakpoints and reports no stop; reset the board (await-reset)");
    if (!session.WaitFor([link] { return !link->IsZORRunning(); }, *seconds))
        return CommandResult::Failure("still running after " + std::to_string(int(*seconds)) + " s");
    // A watcher whose device went away ends without a stop report.
    if (session.AdapterGone())
        return Failed(session);
    std::printf("stopped\n");
    std::fflush(stdout);
    return CommandResult::Success();
}

CommandResult AwaitReset(CLinkSession& session, const Arguments& args)
{
    auto seconds = ParseSeconds(args, 100);
    if (!seconds)
        return CommandResult::Usage("SECONDS is a decimal whole number, 0..86400");
    return session.AwaitReset(*seconds) ? CommandResult::Success() : CommandResult::Failure(session.Error());
}

CommandResult Pause(CLinkSession&, const Arguments& args)
{
    auto ms = args.size() == 1 ? ParseDecimal(args[0], 3600000) : std::nullopt;
    if (!ms)
        return CommandResult::Usage("MS is a decimal whole number of milliseconds, 0..3600000");
    Sleep(*ms);
    return CommandResult::Success();
}

}

const std::vector<CommandEntry>& Commands()
{
    static const std::vector<CommandEntry> table = {
        {"connect", "connect", "test the link and print the board's CPU, e.g. \"Intel 8051\"", Connect},
        {"read", "read ext|int ADDR COUNT", "read memory; prints 16 bytes per line as AAAA: XX XX ...", Read},
        {"write", "write ext|int ADDR BYTE...", "write bytes to memory", Write},
        {"regs", "regs [BYTE...]", "print the register image, or write it (26/28/30 bytes by CPU)", Registers},
        {"load", "load [--format hex|bin] FILE [ADDR]",
         "download a program: Intel HEX (told by its content) at its addresses, or raw binary at ADDR (default 1100)", Load},
        {"reset", "reset ADDR", "set the program counter of the board's program to ADDR", AddressCommand<&CZORComm::ProgReset>},
        {"run", "run ADDR", "run from ADDR (watched for a stop when breakpoints are set)", Run},
        {"goto", "goto ADDR", "run to ADDR", AddressCommand<&CZORComm::GotoCursor>},
        {"step", "step", "execute one instruction", PlainCommand<&CZORComm::StepDebug>},
        {"trace", "trace", "trace one instruction (no stop is awaited)", PlainCommand<&CZORComm::TraceDebug>},
        {"break", "break ADDR", "set a breakpoint", AddressCommand<&CZORComm::SetBreakPt>},
        {"unbreak", "unbreak ADDR", "clear a breakpoint", AddressCommand<&CZORComm::ClearBreakPt>},
        {"unbreak-all", "unbreak-all", "clear every breakpoint", PlainCommand<&CZORComm::ClearAllBreakPt>},
        {"keypad", "keypad", "hand the board over to its own keypad (the link is then down)", PlainCommand<&CZORComm::KeyMonitor>},
        {"wait", "wait [SECONDS]", "wait until the board reports that the run or step ended (default 10 s); prints \"stopped\"", Wait},
        {"await-reset", "await-reset [SECONDS]", "ask for the board's reset key and wait for the handshake (default 100 s)", AwaitReset},
        {"sleep", "sleep MS", "pause", Pause},
        {"control", "control temp|speed|stepper [OPTIONS]",
         "closed-loop experiment: --target N --kp F --ki F --kd F --samples N (100) --period MS (100) "
         "--timeout S (10) --direction cw|ccw --csv FILE --png FILE; prints index, value, output byte per sample; "
         "Ctrl+C stops it",
         RunControl},
        {"ports", "ports", "list the serial devices, who may open them, and programs known to grab them", ListPorts},
    };
    return table;
}

const CommandEntry* FindCommand(const std::string& name)
{
    for (const auto& command : Commands())
        if (name == command.name)
            return &command;
    return nullptr;
}

}
