#include "tools/zorstudio/SourceDocument.h"

#include <cerrno>
#include <fstream>
#include <iterator>

#include "tools/common/SystemReason.h"
#include "tools/zorstudio/TextLines.h"
#include "tools/zorstudio/Translation.h"
#include "zorkit/platform/core/AtomicFileWriter.h"

namespace zorstudio {

CSourceDocument::CSourceDocument()
{
    m_buffer.InitNew();
    MarkBuilt();
}

std::string CSourceDocument::Name() const { return m_path.empty() ? "program.asm" : m_path.filename().string(); }

std::string CSourceDocument::Text() const { return BufferText(m_buffer); }

std::optional<std::string> CSourceDocument::Open(const std::filesystem::path& path)
{
    // Read here rather than by the buffer, which takes a lone LF for no line end:
    // assembly sources on this system end their lines with LF.
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return Tr("cannot open {1}: {2}", {path.string(), Tr("it is a directory")});
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return Tr("cannot open {1}: {2}", {path.string(), tools::SystemReason(errno ? errno : ENOENT)});
    const std::string text(std::istreambuf_iterator<char>(in), {});
    if (in.bad())
        return Tr("cannot read {1}", {path.string()});
    FillBuffer(m_buffer, SplitLines(text));
    m_buffer.SetModified(FALSE);
    m_path = path;
    MarkBuilt();
    return std::nullopt;
}

std::optional<std::string> CSourceDocument::WriteCopy(const std::filesystem::path& path) const
{
    // With LF line ends, as the source was read.
    const std::string text = Text();
    zorkit::AtomicFileWriter out;
    errno = 0;
    if (!out.Open(path.string().c_str()) || !out.Write(text.data(), text.size()) || !out.Commit())
        return errno ? Tr("cannot save {1}: {2}", {path.string(), tools::SystemReason(errno)}) : Tr("cannot save {1}", {path.string()});
    return std::nullopt;
}

std::optional<std::string> CSourceDocument::SaveAs(const std::filesystem::path& path)
{
    if (auto why = WriteCopy(path))
        return why;
    m_buffer.SetModified(FALSE);
    m_path = path;
    return std::nullopt;
}

}
