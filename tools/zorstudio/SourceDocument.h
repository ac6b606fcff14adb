// The program source being edited: its text buffer (the editor is a view of it), the
// file it came from, reading and writing that file, and where the lines of the text
// last built went since. It needs no window.
//
//   CSourceDocument doc;
//   if (auto why = doc.Open("sort.asm")) ... *why ...
//   build(doc.Text(), doc.Name(), doc.Path().parent_path());
//   doc.MarkBuilt();
//   editor.onEdit = [&](const CUpdateContext& edit) { doc.Follow(edit); };
//   doc.Lines().Now(builtLine)   // where that line is after the edits
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "tools/zorstudio/LineTracker.h"
#include "zorkit/editor/TextBuf.h"

namespace zorstudio {

class CSourceDocument {
public:
    CSourceDocument();

    CTextBuf& Buffer() { return m_buffer; }
    const CTextBuf& Buffer() const { return m_buffer; }
    // Empty before the first Open or SaveAs.
    const std::filesystem::path& Path() const { return m_path; }
    // The file's name, or the name a build gives a source never saved.
    std::string Name() const;
    std::string Text() const;
    bool IsModified() const { return m_buffer.IsModified(); }

    // Replaces the text by the file's, which becomes the document's file; the reason
    // when it cannot be read (the text then stays as it was).
    std::optional<std::string> Open(const std::filesystem::path& path);
    // Writes the text to path (whole or not at all), which becomes the document's file.
    std::optional<std::string> SaveAs(const std::filesystem::path& path);
    // Writes the text to path, leaving the document's file as it is.
    std::optional<std::string> WriteCopy(const std::filesystem::path& path) const;

    // The lines of the text as last built (or opened) and where they are now.
    const CLineTracker& Lines() const { return m_lines; }
    // The text now is the one built.
    void MarkBuilt() { m_lines.Reset(m_buffer); }
    // An edit of the buffer, as a view of it hears of it.
    void Follow(const CUpdateContext& edit) { m_lines.Follow(edit); }
    // The text opened again is the one these lines followed to when it was left.
    void ResumeLines(CLineTracker lines) { m_lines = std::move(lines); }

private:
    CTextBuf m_buffer;
    std::filesystem::path m_path;
    CLineTracker m_lines;
};

}
