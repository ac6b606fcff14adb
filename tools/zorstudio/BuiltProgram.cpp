#include "tools/zorstudio/BuiltProgram.h"

#include <algorithm>

namespace zorstudio {

bool SameSource(const std::filesystem::path& a, const std::filesystem::path& b)
{
    if (a.has_parent_path() && b.has_parent_path())
        return std::filesystem::absolute(a).lexically_normal() == std::filesystem::absolute(b).lexically_normal();
    return a.filename() == b.filename();
}

CBuiltProgram::CBuiltProgram(CProgramBuildResult result) : m_result(std::move(result))
{
    if (!m_result.ok || m_result.cdbPath.empty())
        return;
    auto info = std::make_shared<cdebug::CDebugInfo>();
    if (!info->Load(m_result.cdbPath.string())) {
        m_result.ok = false;
        m_result.messages.push_back({m_result.cdbPath.string(), 0, info->Error()});
        return;
    }
    m_info = std::move(info);
}

std::optional<WORD> CBuiltProgram::AddressOfLine(const std::filesystem::path& file, int line) const
{
    if (auto address = m_result.AddressOfLine(file, line))
        return *address;
    if (!m_info)
        return std::nullopt;
    std::optional<WORD> first;
    for (const cdebug::CLineEntry& entry : m_info->Lines())
        if (entry.line == line && SameSource(entry.file, file) && (!first || entry.address < *first))
            first = entry.address;
    return first;
}

void RenameSource(CProgramBuildResult& result, const std::filesystem::path& builtAs,
                  const std::filesystem::path& shownAs)
{
    for (CBuildMessage& message : result.messages)
        if (!message.file.empty() && SameSource(message.file, builtAs))
            message.file = shownAs.string();
    for (CSourceLine& line : result.lines)
        if (SameSource(line.file, builtAs))
            line.file = shownAs;
    for (std::filesystem::path& source : result.sources)
        if (SameSource(source, builtAs))
            source = shownAs;
}

std::filesystem::path CBuiltProgram::SourceNamed(const std::filesystem::path& file) const
{
    for (const std::filesystem::path& source : m_result.sources)
        if (SameSource(source, file))
            return source;
    return file;
}

std::optional<CSourcePlace> CBuiltProgram::CLineStartingAt(WORD address) const
{
    if (!m_info || !m_info->IsLineStart(address) || !m_info->FunctionAt(address))
        return std::nullopt;
    const cdebug::CLineEntry* entry = m_info->LineAt(address);
    if (!entry || entry->address != address)
        return std::nullopt;
    return CSourcePlace{SourceNamed(entry->file), entry->line};
}

std::optional<CSourcePlace> CBuiltProgram::PlaceAt(WORD address) const
{
    if (m_info)
        if (const cdebug::CLineEntry* entry = m_info->LineAt(address))
            // The record names the file as the compiler was given it: the source's.
            return CSourcePlace{SourceNamed(entry->file), entry->line};
    if (const CSourceLine* line = m_result.LineAt(address))
        return CSourcePlace{line->file, line->line};
    return std::nullopt;
}

bool CBuiltProgram::StartsLine(WORD address) const
{
    if (m_info && m_info->IsLineStart(address))
        return true;
    return std::any_of(m_result.lines.begin(), m_result.lines.end(),
                       [&](const CSourceLine& line) { return line.address == address; });
}

}
