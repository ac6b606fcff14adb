// The window's source file: the document the editor shows, the project it belongs
// to, and the file commands (Open..., Save, Save As...) with their path prompt. A
// command that would discard unsaved edits is refused once, and runs when asked
// again next. The window's title names the file.
//
//   CSourceFiles files(window, editor, prompter, requests);
//   files.onOpened = [&] { forgetTheBuild(); };
//   files.OpenSource("sort.asm");
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "tools/zorstudio/SourceDocument.h"
#include "tools/zorstudio/ui/PathPrompter.h"
#include "tools/zorstudio/ui/SourceView.h"
#include "tools/zorstudio/ui/StudioRequests.h"

namespace zorstudio {

class CSourceFiles {
public:
    CSourceFiles(CWnd& window, CSourceView& editor, CPathPrompter& prompter, CStudioRequests& requests)
        : m_window(window), m_editor(editor), m_prompter(prompter), m_requests(requests) {}
    CSourceFiles(const CSourceFiles&) = delete;
    CSourceFiles& operator=(const CSourceFiles&) = delete;

    CSourceDocument& Document() { return m_document; }
    const CSourceDocument& Document() const { return m_document; }
    // The project file the program comes from; empty for a program of one source.
    const std::filesystem::path& ProjectPath() const { return m_projectPath; }

    // Loads the source (.asm, .c) into the editor, or a project (.zpj) and its first
    // source; false (and a message) when it cannot be read.
    bool OpenSource(const std::filesystem::path& path);
    // Shows another source of the program (a message's, a stop's); refused while the
    // source shown has unsaved edits.
    bool ShowProgramSource(const std::filesystem::path& path);
    // Where the lines of a source as last built are now, for a source of the program
    // shown and left since the build; null for any other (not shown since, its lines
    // are where they were; or the one shown, whose document follows them).
    const CLineTracker* LeftLinesOf(const std::filesystem::path& source) const;
    // The program was built from its sources as they are now.
    void MarkBuilt();
    bool Save();
    // Asks for a path to open; refused once while the source has unsaved edits.
    bool OpenFile();
    // Asks for a path to save the source under.
    bool SaveAs();
    // Writes the source to path and makes it the source's file.
    bool SaveSourceAs(const std::filesystem::path& path);
    // False (and a message) the first time a command would discard unsaved edits;
    // again names the command in the message.
    bool MayDiscardEdits(UINT command, const char* again);
    // A command runs: asking again means asking next, so any other one forgets the refusal.
    void CommandRuns(UINT command);

    // A new program's source is shown: what was built from the old one is gone.
    std::function<void()> onOpened;
    // Another source is shown in the editor: its marks are due.
    std::function<void()> onShown;

private:
    bool LoadDocument(const std::filesystem::path& path);
    void NameWindow(const std::filesystem::path& path);

    CWnd& m_window;
    CSourceView& m_editor;
    CPathPrompter& m_prompter;
    CStudioRequests& m_requests;
    CSourceDocument m_document;
    std::filesystem::path m_projectPath;
    // The lines of the program's sources left since the build, as they were edited.
    std::vector<std::pair<std::filesystem::path, CLineTracker>> m_leftLines;
    // The command that was refused for discarding unsaved edits, and may now.
    std::optional<UINT> m_discardAsked;
};

}
