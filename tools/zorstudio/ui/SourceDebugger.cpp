#include "tools/zorstudio/ui/SourceDebugger.h"

#include <set>
#include <utility>

#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/StudioWindow.h"

namespace zorstudio {

bool CSourceDebugger::Create()
{
    if (!m_margin.Create(&m_window, m_editor, CStudioWindow::IdSourceMargin) ||
        !m_callStack.Create(&m_window, CStudioWindow::IdCallStack) ||
        !m_watches.Create(CRect(0, 0, 1, 1), &m_window, CStudioWindow::IdWatches))
        return false;
    m_editor.onLinesMoved = [this] { m_margin.Follow(); };
    m_callStack.onFrameChosen = [this](std::size_t frame) {
        m_requests.Ask([frame](CDebugSession& s) { return s.SelectFrame(frame); }, [this, frame](bool ok, const std::string& error) {
            ok ? m_requests.Tell(Tr("the watches show frame {1}", {std::to_string(frame)})) : void(m_requests.Failed(error));
        });
    };
    m_watches.onWrite = [this](const std::string& name, const std::string& value) {
        m_requests.Ask([name, value](CDebugSession& s) { return s.WriteVariable(name, value); },
                       [this, name, value](bool ok, const std::string& error) {
                           ok ? m_requests.Tell(Tr("{1} := {2}, read back from the board", {name, value}))
                              : void(m_requests.Failed(error));
                       });
        return true;
    };
    return true;
}

std::filesystem::path CSourceDebugger::ShownSource() const
{
    const std::filesystem::path& path = m_files.Document().Path();
    return path.empty() && !m_program.Result().sources.empty() ? m_program.Result().sources.front() : path;
}

std::optional<WORD> CSourceDebugger::AddressOfSourceLine(int line) const
{
    // A line typed since the build has no code yet.
    const auto built = m_files.Document().Lines().Then(line - 1);
    if (!m_program.Ok() || m_program.Result().sources.empty() || !built)
        return std::nullopt;
    return m_program.AddressOfLine(ShownSource(), *built + 1);
}

void CSourceDebugger::MarkSource()
{
    std::set<int> breakpoints;
    int current = -1;
    if (m_program.Ok()) {
        const CBoardView& view = m_requests.View();
        const std::filesystem::path shown = ShownSource();
        const CLineTracker& lines = m_files.Document().Lines();
        // The marks stay with their lines through the edits since the build.
        for (WORD address : view.breakpoints)
            if (const auto place = m_program.PlaceAt(address); place && m_program.StartsLine(address) &&
                                                                 SameSource(place->file, shown))
                if (const auto line = lines.Now(place->line - 1))
                    breakpoints.insert(*line);
        const CTargetSnapshot& now = view.current;
        if (now.valid && view.stopsHandled > 0 && view.state != LinkState::Running)
            if (const auto place = m_program.PlaceAt(now.pc); place && SameSource(place->file, shown))
                current = lines.Now(place->line - 1).value_or(-1);
    }
    m_margin.SetMarks(std::move(breakpoints), current);
}

void CSourceDebugger::ShowSourceStop()
{
    const CSourceStop* stop = m_requests.View().source.get();
    if (stop == m_sourceShown)
        return;
    m_sourceShown = stop;
    m_callStack.Show(stop);
    m_watches.Show(stop);
    // A stop in another source of the program shows that source.
    if (stop && !stop->frames.empty() && stop->frames.front().line > 0 && m_program.Ok()) {
        const std::filesystem::path file = m_program.SourceNamed(stop->frames.front().file);
        if (file.has_parent_path() && m_files.ShowProgramSource(file))
            m_editor.EnsureVisible(CPoint(0, stop->frames.front().line - 1));
        MarkSource();
    }
}

void CSourceDebugger::KeepBreakpoints(const CBuiltProgram& before)
{
    if (!before.Ok())
        return;
    const CBoardView& view = m_requests.View();
    const std::filesystem::path shown = ShownSource();
    std::set<WORD> clear, set;
    for (WORD address : view.breakpoints) {
        const auto place = before.StartsLine(address) ? before.PlaceAt(address) : std::nullopt;
        // A breakpoint on no source line stays at its address, as the listing set it.
        if (!place)
            continue;
        // A line of a source edited since the last build moved with the edits.
        const CLineTracker* lines =
            SameSource(place->file, shown) ? &m_files.Document().Lines() : m_files.LeftLinesOf(place->file);
        const auto line = lines ? lines->Now(place->line - 1) : std::optional<int>(place->line - 1);
        const auto moved = line ? m_program.AddressOfLine(place->file, *line + 1) : std::nullopt;
        if (moved == address)
            continue;
        clear.insert(address);
        if (moved)
            set.insert(*moved);
    }
    for (WORD address : set)
        if (view.IsBreakpoint(address))
            set.erase(address);
    if (clear.empty() && set.empty())
        return;
    m_requests.Ask(
        [clear, set](CDebugSession& s) {
            for (WORD address : clear)
                if (s.IsBreakpoint(address) && !s.ToggleBreakpoint(address))
                    return false;
            for (WORD address : set)
                if (!s.IsBreakpoint(address) && !s.ToggleBreakpoint(address))
                    return false;
            return true;
        },
        [this](bool ok, const std::string& error) {
            if (!ok)
                m_requests.Failed(error);
            MarkSource();
        });
}

void CSourceDebugger::Step(std::function<bool(CDebugSession&)> step, std::string what)
{
    const int stops = m_requests.View().stopsHandled;
    m_requests.Ask(std::move(step), [this, what = std::move(what), stops](bool ok, const std::string& error) {
        if (!ok)
            m_requests.Failed(error);
        // A quick board reports the stop before the step is answered: the stop is news.
        else if (m_requests.View().stopsHandled == stops)
            m_requests.Tell(what);
    });
}

bool CSourceDebugger::StepSource(SourceStep step, std::string what)
{
    Step([step](CDebugSession& s) { return s.StepSource(step); }, std::move(what));
    return true;
}

bool CSourceDebugger::StepOut()
{
    if (!m_downloadedC)
        return m_requests.Failed(Tr("Step Out leaves a C function: download a C program"));
    return StepSource(SourceStep::Out, Tr("stepping out"));
}

bool CSourceDebugger::StepOver()
{
    if (m_downloadedC)
        return StepSource(SourceStep::Over, Tr("stepping over the line"));
    Step([](CDebugSession& s) { return s.Step(); }, Tr("stepping"));
    return true;
}

bool CSourceDebugger::StepInto()
{
    if (m_downloadedC)
        return StepSource(SourceStep::Into, Tr("stepping into the line"));
    m_requests.Ask([](CDebugSession& s) { return s.Trace(); }, [this](bool ok, const std::string& error) {
        if (!ok)
            return void(m_requests.Failed(error));
        if (onTraced)
            onTraced();
    });
    return true;
}

}
