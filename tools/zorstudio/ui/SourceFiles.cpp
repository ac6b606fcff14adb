#include "tools/zorstudio/ui/SourceFiles.h"

#include <algorithm>

#include "tools/zorstudio/BuiltProgram.h"
#include "tools/zorstudio/SyntaxColours.h"
#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/StudioWindow.h"

namespace zorstudio {
namespace {

// The kept lines of a source left since the build, in a list of them, const or not.
template <typename Entries>
auto LeftEntryOf(Entries& entries, const std::filesystem::path& source)
{
    return std::find_if(entries.begin(), entries.end(), [&](const auto& entry) { return SameSource(entry.first, source); });
}

}

bool CSourceFiles::OpenSource(const std::filesystem::path& path)
{
    std::filesystem::path source = path;
    if (path.extension() == kProjectExtension) {
        CProgramProject project;
        if (!project.Load(path))
            return m_requests.Failed(project.error);
        source = project.sources.front();
    }
    if (!LoadDocument(source))
        return false;
    m_leftLines.clear();
    m_projectPath = path.extension() == kProjectExtension ? path : std::filesystem::path();
    if (onOpened)
        onOpened();
    if (onShown)
        onShown();
    NameWindow(path);
    m_requests.Tell(Tr("opened {1}", {path.string()}));
    return true;
}

bool CSourceFiles::LoadDocument(const std::filesystem::path& path)
{
    // The editor's text stays as it is when the file cannot be read.
    if (auto why = m_document.Open(path))
        return m_requests.Failed(*why);
    m_discardAsked.reset();
    m_editor.SetCursorPos(CPoint(0, 0));
    m_editor.SetLanguage(LanguageOfFile(path.filename().string()));
    return true;
}

void CSourceFiles::NameWindow(const std::filesystem::path& path)
{
    m_window.SetWindowText(("zorstudio - " + path.filename().string()).c_str());
}

bool CSourceFiles::ShowProgramSource(const std::filesystem::path& path)
{
    if (SameSource(path, m_document.Path()))
        return true;
    if (m_document.IsModified())
        return m_requests.Failed(Tr("the source has unsaved edits: save it to see {1}", {path.filename().string()}));
    CLineTracker leaving = m_document.Lines();
    const std::filesystem::path left = m_document.Path();
    if (!LoadDocument(path))
        return false;
    if (!left.empty())
        m_leftLines.emplace_back(left, std::move(leaving));
    if (const auto kept = LeftEntryOf(m_leftLines, path); kept != m_leftLines.end()) {
        m_document.ResumeLines(std::move(kept->second));
        m_leftLines.erase(kept);
    }
    if (onShown)
        onShown();
    return true;
}

const CLineTracker* CSourceFiles::LeftLinesOf(const std::filesystem::path& source) const
{
    const auto kept = LeftEntryOf(m_leftLines, source);
    return kept == m_leftLines.end() ? nullptr : &kept->second;
}

void CSourceFiles::MarkBuilt()
{
    m_document.MarkBuilt();
    m_leftLines.clear();
}

bool CSourceFiles::Save()
{
    if (m_document.Path().empty())
        return SaveAs();
    return SaveSourceAs(m_document.Path());
}

bool CSourceFiles::SaveSourceAs(const std::filesystem::path& path)
{
    if (auto why = m_document.SaveAs(path))
        return m_requests.Failed(*why);
    m_discardAsked.reset();
    m_editor.SetLanguage(LanguageOfFile(path.filename().string()));
    NameWindow(path);
    m_requests.Tell(Tr("saved {1}", {path.string()}));
    return true;
}

bool CSourceFiles::MayDiscardEdits(UINT command, const char* again)
{
    if (!m_document.IsModified() || m_discardAsked == command)
        return true;
    m_discardAsked = command;
    return m_requests.Failed(Tr("the source has unsaved edits: Save keeps them, {1} again discards them", {Tr(again)}));
}

void CSourceFiles::CommandRuns(UINT command)
{
    if (m_discardAsked && *m_discardAsked != command)
        m_discardAsked.reset();
}

bool CSourceFiles::OpenFile()
{
    if (!MayDiscardEdits(CStudioWindow::IdOpen, N_("Open")))
        return false;
    const std::filesystem::path folder =
        m_document.Path().empty() ? std::filesystem::current_path() : m_document.Path().parent_path();
    return m_prompter.Ask(Tr("Open the 8051 source:"), folder / "",
                          [this](const std::filesystem::path& path) { return OpenSource(path); });
}

bool CSourceFiles::SaveAs()
{
    const std::filesystem::path initial =
        m_document.Path().empty() ? std::filesystem::current_path() / m_document.Name() : m_document.Path();
    return m_prompter.Ask(Tr("Save the source as:"), initial,
                          [this](const std::filesystem::path& path) { return SaveSourceAs(path); });
}

}
