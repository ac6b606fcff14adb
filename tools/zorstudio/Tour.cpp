#include "tools/zorstudio/Tour.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "tools/common/Numbers.h"
#include "tools/zorstudio/BuiltProgram.h"
#include "tools/zorstudio/DebugSession.h"
#include "tools/zorstudio/ExperimentExport.h"
#include "tools/zorstudio/Translation.h"
#include "tools/common/CProgramBuild.h"
#include "tools/common/ScratchDirectory.h"
#include "tools/common/SystemReason.h"
#include "zorkit/platform/core/Time.h"

namespace zorstudio {
namespace {

constexpr DWORD kStopWaitMs = 10000;
// Long enough for a slow board: a sample every period, a few ms of line time each.
constexpr DWORD kExperimentGraceMs = 60000;
// The sample's table: eight bytes from 30H.
constexpr WORD kTableAddress = 0x30;
constexpr int kTableSize = 8;
// A byte of internal RAM the program does not use, edited and read back.
constexpr WORD kEditAddress = 0x40;
constexpr BYTE kEditValue = 0x5A;

class CTourPrinter {
public:
    void Stage(const std::string& title)
    {
        std::printf("\n[%d] %s\n", ++m_stage, title.c_str());
        std::fflush(stdout);
    }
    void Line(const std::string& text)
    {
        std::printf("    %s\n", text.c_str());
        std::fflush(stdout);
    }
    int Fail(const std::string& why)
    {
        std::fprintf(stderr, "zorstudio: %s\n", Tr("tour stage {1} failed: {2}", {std::to_string(m_stage), why}).c_str());
        return 1;
    }

private:
    int m_stage = 0;
};

std::string HexBytes(const BYTE* bytes, std::size_t n)
{
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        text += (i ? " " : "") + tools::Hex(bytes[i], 2);
    }
    return text;
}

std::string RegisterLine(const CTargetSnapshot& snapshot)
{
    std::string text;
    for (const CRegisterField& field : RegisterLayout()) {
        char cell[24];
        std::snprintf(cell, sizeof cell, "%s=%0*X ", field.name, 2 * field.size, RegisterValue(snapshot.registers, field));
        text += cell;
    }
    return text;
}

// The first line (from 1) of the source that holds; 0 when there is none.
int FirstLine(const std::string& source, const std::function<bool(const std::string&)>& holds)
{
    std::istringstream in(source);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (holds(line))
            return number;
    }
    return 0;
}

// A sample shipped with zorstudio: beside the sources, else installed.
std::string SampleFile(const std::string& name)
{
    const std::string beside = ZORSTUDIO_SOURCE_SAMPLES "/" + name;
    return std::filesystem::exists(beside) ? beside : ZORSTUDIO_INSTALLED_SAMPLES "/" + name;
}

// The stop's call stack, a frame a line, and its watches; with the stop before it,
// the watches whose values changed since are marked.
void PrintSourceStop(CTourPrinter& tour, const CSourceStop& stop, const CSourceStop* before)
{
    for (const CStackFrame& frame : stop.frames)
        tour.Line(Tr("frame {1}", {frame.function + "  " + frame.file + ":" + std::to_string(frame.line)}));
    for (const CWatchValue& watch : stop.watches) {
        const bool changed = before && std::none_of(before->watches.begin(), before->watches.end(),
                                                    [&](const CWatchValue& w) { return w == watch; });
        tour.Line(Tr("watch {1} = {2}", {watch.name, watch.value}) + (watch.global ? "  " + Tr("(global)") : "") +
                  (changed ? "  " + Tr("(changed)") : ""));
    }
}

// The C program's stages: build, download, a breakpoint on a line, the stop's call
// stack and watches, into the line's call and out, then over the rest of the line
// and the watches it changed.
int RunCStages(CTourPrinter& tour, CDebugSession& session, const std::string& program)
{
    tour.Stage(Tr("open the C program {1}, build it with sdcc", {program}));
    std::ifstream in(program, std::ios::binary);
    const std::string source(std::istreambuf_iterator<char>(in), {});
    if (source.empty())
        return tour.Fail(Tr("{1} is empty or missing", {program}));
    const tools::CScratchDirectory scratch("zorstudio-tour-c-");
    const CBuiltProgram built(BuildProgram(CProgramProject::OfSource(program), scratch.Path()));
    for (const CBuildMessage& m : built.Result().messages)
        tour.Line(m.file + ":" + std::to_string(m.line) + ": " + m.text);
    if (!built.Ok() || !built.DebugInfo())
        return tour.Fail(Tr("the C program did not build"));
    const WORD entry = built.Result().entry;
    tour.Line(Tr("{1} bytes of code, starting at {2}", {std::to_string(built.Result().CodeBytes()), tools::Hex(entry, 4)}));

    tour.Stage(Tr("download it and set a breakpoint on the line '{1}'", {kTourCBreakpointText}));
    if (!session.ClearBreakpoints() || !session.Download(built.Result().hex, {}, entry))
        return tour.Fail(session.LastError());
    session.SetDebugInfo(built.SharedDebugInfo());
    const int line =
        FirstLine(source, [](const std::string& text) { return text.find(kTourCBreakpointText) != std::string::npos; });
    const auto address = built.AddressOfLine(program, line);
    if (!address)
        return tour.Fail(Tr("the line '{1}' has no code", {kTourCBreakpointText}));
    if (!session.ToggleBreakpoint(*address))
        return tour.Fail(session.LastError());
    tour.Line(Tr("line {1}, address {2}", {std::filesystem::path(program).filename().string() + ":" + std::to_string(line),
                                          tools::Hex(*address, 4)}));

    tour.Stage(Tr("run to the breakpoint {1} times", {std::to_string(kTourCPasses)}));
    for (int pass = 1; pass <= kTourCPasses; ++pass) {
        if (!session.RunProgram())
            return tour.Fail(session.LastError());
        if (!session.WaitForStop(kStopWaitMs) || !session.SourceStop())
            return tour.Fail(Tr("the board reported no stop within {1} s", {std::to_string(kStopWaitMs / 1000)}));
        tour.Line(Tr("stop {1} at {2}", {std::to_string(pass), tools::Hex(session.Current().pc, 4)}));
    }

    tour.Stage(Tr("the call stack and the watches"));
    const std::shared_ptr<const CSourceStop> stop = session.SourceStop();
    PrintSourceStop(tour, *stop, nullptr);

    tour.Stage(Tr("step into the call {1}, then out again", {kTourCCall}));
    for (const SourceStep step : {SourceStep::Into, SourceStep::Out}) {
        if (!session.StepSource(step))
            return tour.Fail(session.LastError());
        if (!session.SourceStop() || session.SourceStop()->frames.empty())
            return tour.Fail(Tr("the step ended outside the C program"));
        PrintSourceStop(tour, *session.SourceStop(), nullptr);
    }

    tour.Stage(Tr("step over the line"));
    if (!session.StepSource(SourceStep::Over))
        return tour.Fail(session.LastError());
    if (!session.SourceStop() || session.SourceStop()->frames.empty())
        return tour.Fail(Tr("the step ended outside the C program"));
    PrintSourceStop(tour, *session.SourceStop(), stop.get());
    return 0;
}

}

std::string DefaultTourProgram() { return SampleFile("sort.asm"); }

std::string DefaultTourCProgram() { return SampleFile("squares.c"); }

int RunTour(const CTourOptions& options)
{
    CTourPrinter tour;
    std::error_code error;
    std::filesystem::create_directories(options.directory, error);
    if (error)
        return tour.Fail(Tr("cannot make {1}: {2}", {options.directory, tools::SystemReason(error)}));

    tour.Stage(Tr("open the program {1}", {options.program}));
    std::ifstream in(options.program, std::ios::binary);
    const std::string source(std::istreambuf_iterator<char>(in), {});
    if (!in.good() && !in.eof())
        return tour.Fail(Tr("cannot read {1}", {options.program}));
    if (source.empty())
        return tour.Fail(Tr("{1} is empty or missing", {options.program}));
    tour.Line(Tr("{1} lines", {std::to_string(std::count(source.begin(), source.end(), '\n'))}));

    tour.Stage(Tr("assemble with sdas8051, link with sdld"));
    const tools::CScratchDirectory scratch("zorstudio-tour-");
    const CProgramBuildResult built = BuildProgram(CProgramProject::OfSource(options.program), scratch.Path());
    for (const CBuildMessage& m : built.messages)
        tour.Line(m.file + ":" + std::to_string(m.line) + ": " + m.text);
    if (!built.ok)
        return tour.Fail(Tr("the program did not build"));
    const std::size_t bytes = built.CodeBytes();
    const WORD entry = WORD(built.hex.GetRuns().front().address);
    tour.Line(Tr("{1} bytes of code from {2}", {std::to_string(bytes), tools::Hex(entry, 4)}));

    tour.Stage(options.line.IsVirtual() ? Tr("connect to the virtual board") : Tr("connect to {1}", {options.line.device}));
    CDebugSession session;
    if (!session.Open(options.line) || !session.Connect())
        return tour.Fail(session.LastError());
    const std::string device = session.VirtualBoard() ? session.VirtualBoard()->SlavePath() : session.LineChoice().device;
    tour.Line(Tr("link {1} on {2} at {3} baud",
                 {Tr(LinkStateName(session.State())), device, std::to_string(session.LineChoice().baud)}));
    if (session.Link()->GetZORCPUType() != CZORComm::CPU_8051)
        return tour.Fail(Tr("the board does not carry an 8051 (its register image has {1} bytes)",
                            {std::to_string(int(session.Link()->GetZORCPUType()))}));
    tour.Line(Tr("the board carries an Intel 8051"));

    tour.Stage(Tr("download"));
    if (!session.Download(built.hex))
        return tour.Fail(session.LastError());
    tour.Line(Tr("{1} bytes sent in frames of at most 64", {std::to_string(bytes)}));

    tour.Stage(Tr("set a breakpoint at the line 'done:'"));
    const int doneLine = FirstLine(source, [](const std::string& text) { return text.rfind("done:", 0) == 0; });
    const auto doneAddress = built.AddressOfLine(options.program, doneLine);
    if (!doneAddress)
        return tour.Fail(Tr("the program has no line 'done:' with code"));
    if (!session.ToggleBreakpoint(*doneAddress))
        return tour.Fail(session.LastError());
    tour.Line(Tr("line {1}, address {2}", {std::to_string(doneLine), tools::Hex(*doneAddress, 4)}));

    tour.Stage(Tr("run from {1} to the breakpoint", {tools::Hex(entry, 4)}));
    const DWORD readStart = GetTickCount();
    if (!session.Refresh())
        return tour.Fail(session.LastError());
    tour.Line(Tr("the board's registers and memory read in {1} ms", {std::to_string(GetTickCount() - readStart)}));
    if (!session.Run(entry))
        return tour.Fail(session.LastError());
    if (!session.WaitForStop(kStopWaitMs))
        return tour.Fail(Tr("the board reported no stop within {1} s", {std::to_string(kStopWaitMs / 1000)}));
    tour.Line(Tr("the board reported the stop; link {1}", {Tr(LinkStateName(session.State()))}));

    tour.Stage(Tr("registers, internal RAM, external memory, listing"));
    const CTargetSnapshot& now = session.Current();
    if (!now.valid)
        return tour.Fail(session.LastError());
    tour.Line(RegisterLine(now));
    const CSnapshotChanges& changes = session.Changes();
    tour.Line(Tr("{1} registers and {2} internal RAM bytes changed since the start",
                 {std::to_string(changes.registers.size()), std::to_string(changes.internalBytes.size())}));
    const BYTE* table = now.internalRam.data() + kTableAddress;
    // A table of equal bytes is in order without any program having run.
    const bool sorted = std::is_sorted(table, table + kTableSize) && table[0] != table[kTableSize - 1];
    const bool executed = sorted && now.pc == *doneAddress;
    tour.Line(Tr(sorted ? N_("internal RAM {1}H: {2}  (sorted)") : N_("internal RAM {1}H: {2}  (not sorted)"),
                 {tools::Hex(kTableAddress, 2), HexBytes(table, kTableSize)}));
    tour.Line(Tr("external {1}: {2}", {tools::Hex(now.externalAddress, 4), HexBytes(now.external.data(), 16)}));
    if (!executed)
        tour.Line(Tr("PC reads {1}, not the breakpoint {2}: this board answers the monitor's commands without executing the program",
                     {tools::Hex(now.pc, 4), tools::Hex(*doneAddress, 4)}));
    for (const CListingLine& line : session.ListingAtPc(4))
        tour.Line((line.address == now.pc ? "=> " : "   ") + line.text);
    if (session.ListingAtPc(1).empty())
        tour.Line(Tr("no listing at PC {1}: nothing was downloaded there", {tools::Hex(now.pc, 4)}));

    tour.Stage(Tr("edit internal RAM {1}H and read it back", {tools::Hex(kEditAddress, 2)}));
    if (!session.WriteMemory(MemoryKind::Internal, kEditAddress, kEditValue))
        return tour.Fail(session.LastError());
    tour.Line(Tr("wrote {1}, read back {2}", {HexBytes(&kEditValue, 1), HexBytes(&session.Current().internalRam[kEditAddress], 1)}));

    CExperimentSetup setup = DefaultSetup(ExperimentKind::Temperature);
    setup.samples = options.samples;
    setup.period = 0;
    char gains[192];
    std::snprintf(gains, sizeof gains, Tr("set point %d °C, Kp %g Ki %g Kd %g, %d samples").c_str(), setup.setPoint,
                  setup.kp, setup.ki, setup.kd, setup.samples);
    tour.Stage(Tr("temperature experiment: {1}", {gains}));
    if (!session.StartExperiment(setup))
        return tour.Fail(session.LastError());
    if (!session.WaitForExperimentEnd(DWORD(setup.samples) * (DWORD(setup.period) + 20) + kExperimentGraceMs))
        return tour.Fail(Tr("the experiment did not end"));
    CExperimentRecord& record = *session.Experiment();
    const CSettlingFigures figures = record.Figures();
    char line[256];
    std::snprintf(line, sizeof line, Tr("%zu samples; final value %.2f °C (%+.2f from the set point); overshoot %.2f °C").c_str(),
                  record.Samples().size(), figures.finalValue, figures.offset, figures.overshoot);
    tour.Line(line);
    if (figures.settledAt)
        std::snprintf(line, sizeof line, Tr("settled within ±%.0f °C of the final value from sample %d (%.1f s of plant time)").c_str(),
                      figures.band, *figures.settledAt, *figures.settledAt * CDebugSession::kSecondsPerSample);
    else
        std::snprintf(line, sizeof line, Tr("not settled within ±%.0f °C").c_str(), figures.band);
    tour.Line(line);
    std::snprintf(line, sizeof line, Tr("output byte from then on: %d .. %d").c_str(), figures.outputLow, figures.outputHigh);
    tour.Line(line);
    if (record.Samples().size() != std::size_t(setup.samples))
        return tour.Fail(Tr("the experiment ended early"));

    tour.Stage(Tr("export the picture, the printout and the samples"));
    const std::filesystem::path dir(options.directory);
    const std::string png = (dir / "temperature.png").string(), pdf = (dir / "temperature.pdf").string(),
                      csv = (dir / "temperature.csv").string();
    if (!ExportPng(record, png))
        return tour.Fail(Tr("cannot write {1}", {png}));
    tour.Line(png);
    if (!ExportPdf(record, pdf))
        return tour.Fail(Tr("cannot write {1}", {pdf}));
    tour.Line(pdf);
    if (!ExportCsv(record, csv))
        return tour.Fail(Tr("cannot write {1}", {csv}));
    tour.Line(csv);

    if (RunCStages(tour, session, options.cProgram))
        return 1;
    std::printf("\n%s\n", Tr("tour complete").c_str());
    return 0;
}

}
