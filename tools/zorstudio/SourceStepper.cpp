#include "tools/zorstudio/SourceStepper.h"

namespace zorstudio {
namespace {

bool IsScalar(const cdebug::CType& type)
{
    return type.kind != cdebug::CType::Array && type.kind != cdebug::CType::Struct && type.kind != cdebug::CType::Bit &&
           type.kind != cdebug::CType::Void && type.kind != cdebug::CType::Function && type.size > 0;
}

}

CSourceStepper::CSourceStepper(CZORComm& link, std::shared_ptr<const cdebug::CDebugInfo> info, std::vector<BYTE> code,
                               cdebug::CSourceDebugger::WaitStop waitStop)
    : m_info(std::move(info)), m_debugger(link, *m_info, std::move(code), std::move(waitStop))
{
}

void CSourceStepper::Adopt(const std::vector<BYTE>& registers, const std::vector<BYTE>& internal)
{
    m_debugger.Adopt(registers, internal);
}

bool CSourceStepper::Step(SourceStep step, const std::set<WORD>& breakpoints)
{
    m_debugger.SetHostBreakpoints(breakpoints);
    switch (step) {
    case SourceStep::Over: return m_debugger.Next();
    case SourceStep::Into: return m_debugger.Step();
    case SourceStep::Out: return m_debugger.Finish();
    }
    return false;
}

CSourceStop CSourceStepper::Read(std::size_t frame)
{
    CSourceStop stop;
    const std::vector<cdebug::CFrame> frames = m_debugger.Where();
    for (const cdebug::CFrame& f : frames)
        stop.frames.push_back({f.function ? f.function->name : "??", f.line ? f.line->file : "", f.line ? f.line->line : 0, f.pc});
    if (frames.empty())
        return stop;
    stop.selected = frame < frames.size() ? frame : 0;
    auto watch = [&](const cdebug::CVariable& variable, bool global) {
        if (variable.storage == cdebug::Storage::None || variable.storage == cdebug::Storage::Sfr || !variable.type)
            return;
        CWatchValue value{variable.name, cdebug::TypeName(*variable.type), "", global};
        const auto printed = m_debugger.Print(variable.name, stop.selected);
        const std::string prefix = variable.name + " = ";
        // A part that cannot be read leaves its reason as the error and in the text.
        value.readable = printed && m_debugger.Error().empty();
        value.value = printed ? (printed->compare(0, prefix.size(), prefix) == 0 ? printed->substr(prefix.size()) : *printed)
                              : m_debugger.Error();
        value.editable = value.readable && IsScalar(*variable.type);
        stop.watches.push_back(std::move(value));
    };
    if (const cdebug::CFunction* function = frames[stop.selected].function)
        for (const cdebug::CVariable& local : function->locals)
            watch(local, false);
    for (const cdebug::CVariable& global : m_info->Globals())
        watch(global, true);
    return stop;
}

bool CSourceStepper::Write(const std::string& name, const std::string& value, std::size_t frame)
{
    return m_debugger.Set(name, value, frame);
}

}
