#include "zorkit/editor/TextBuf.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "zorkit/editor/DeleteUpdateContext.h"
#include "zorkit/editor/InsertUpdateContext.h"
#include "zorkit/editor/internal/LineAssembler.h"
#include "zorkit/platform/core/StdioFile.h"
#include "zorkit/editor/internal/UndoHistory.h"
#include "zorkit/editor/TextView.h"
#include "zorkit/platform/core/AtomicFileWriter.h"
#include "zorkit/platform/core/FileInfo.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/MessageBox.h"

IMPLEMENT_DYNCREATE(CTextBuf, CCmdTarget)

namespace {

constexpr std::size_t kReadBlock = 32768;
constexpr std::size_t kWriteChunk = 65536;
constexpr std::size_t kLoadGrowth = 4096;
constexpr UINT kIdsOutOfMemory = 102; // "内存溢出！"

// Splits text at CR or CR LF; a lone LF is an ordinary byte. A piece too long for a
// line fails as a lack of memory would.
std::vector<TextPiece> SplitAtBreaks(const char* text)
{
    std::vector<TextPiece> pieces;
    const char* start = text;
    for (const char* at = text;; ++at) {
        if (at - start > LineRecord::kMaxLength)
            throw std::bad_alloc();
        if (*at == '\0' || *at == '\r') {
            pieces.push_back({start, int(at - start)});
            if (*at == '\0')
                return pieces;
            if (at[1] == '\n')
                ++at;
            start = at + 1;
        }
    }
}

// One typed character: a single byte or a double-byte character, not a line break.
bool IsTypedCharacter(const std::vector<TextPiece>& pieces)
{
    if (pieces.size() != 1)
        return false;
    const TextPiece& piece = pieces.front();
    return piece.length == 1 || (piece.length == 2 && zorkit::NextGbkBoundary(piece.bytes, 2, 0) == 2);
}

}

CTextBuf::CTextBuf() : m_history(std::make_unique<CUndoHistory>()) {}

CTextBuf::~CTextBuf()
{
    // A view left pointing here would read freed lines at its next paint.
    const std::vector<CTextView*> views = m_views;
    for (CTextView* view : views)
        if (view->m_buffer == this)
            view->DetachFromBuffer();
    m_views.clear();
}

int CTextBuf::GetLineCount() const { return int(m_lines.size()); }

int CTextBuf::GetLineLength(int line) const { return IsLine(line) ? m_lines[line].length : 0; }

char* CTextBuf::GetLineChars(int line) const { return IsLine(line) ? m_lines[line].chars.get() : nullptr; }

unsigned long CTextBuf::GetLineFlags(int line) const { return IsLine(line) ? m_lines[line].flags : 0; }

int CTextBuf::GetReadOnly() const { return m_readOnly; }

int CTextBuf::IsModified() const { return m_modified; }

void CTextBuf::GetText(CPoint start, CPoint end, CString& text) const
{
    text.Empty();
    if (!IsRange(start, end))
        return;
    std::string out;
    std::size_t size = 0;
    for (int line = start.y; line <= end.y; ++line)
        size += std::size_t(m_lines[line].length) + 2;
    out.reserve(size);
    for (int line = start.y; line <= end.y; ++line) {
        const LineRecord& record = m_lines[line];
        int from = line == start.y ? start.x : 0;
        int to = line == end.y ? end.x : record.length;
        out.append(record.chars.get() + from, std::size_t(to - from));
        if (line != end.y)
            out.append("\r\n");
    }
    std::size_t nul = out.find('\0');
    if (nul != std::string::npos)
        out.resize(nul);
    text = CString(std::move(out));
}

void CTextBuf::InsertLine(const char* bytes, int count, int position)
{
    if (count < 0 || (!bytes && count > 0) || position < -1 || position > GetLineCount())
        return;
    LineRecord line;
    if (!line.Create(bytes, count))
        return;
    try {
        m_lines.insert(position == -1 ? m_lines.end() : m_lines.begin() + position, std::move(line));
    } catch (const std::bad_alloc&) {
        // Out of memory: the buffer stays as it was.
        return;
    }
    m_history->Clear();
}

void CTextBuf::InsertLine(const char* text) { InsertLine(text, text ? int(std::strlen(text)) : 0, -1); }

void CTextBuf::AppendLine(const char* bytes, int line, int count)
{
    if (line < 0 || count < 0 || (!bytes && count > 0))
        return;
    if (line >= GetLineCount())
        InsertLine(bytes, count, -1);
    else if (count > 0 && m_lines[line].Append(bytes, count))
        m_history->Clear();
}

void CTextBuf::AppendLine(const char* text, int line)
{
    if (text && *text)
        AppendLine(text, line, int(std::strlen(text)));
}

void CTextBuf::AppendLine(const char* text)
{
    if (text)
        AppendLine(text, m_lines.empty() ? 0 : GetLineCount() - 1, int(std::strlen(text)));
}

int CTextBuf::InitNew()
{
    InsertLine(nullptr, 0, -1);
    m_history->Clear();
    m_readOnly = FALSE;
    SetModified(FALSE);
    SendReset();
    return TRUE;
}

void CTextBuf::FreeAll()
{
    m_lines.clear();
    m_lines.shrink_to_fit();
    m_history->Clear();
}

int CTextBuf::LoadFromFile(const char* fileName)
{
    if (!fileName)
        return FALSE;
    zorkit::StdioFile file(std::fopen(fileName, "rb"));
    if (!file)
        return FALSE;
    bool readOnly = false;
    if (!zorkit::GetFileReadOnly(fileName, readOnly))
        return FALSE;
    m_readOnly = readOnly;

    std::unique_ptr<char[]> block(new (std::nothrow) char[kReadBlock]);
    std::vector<LineRecord> lines;
    bool enough = block != nullptr;
    if (enough) {
        try {
            lines.reserve(kLoadGrowth);
        } catch (const std::bad_alloc&) {
            enough = false;
        }
    }
    // The text goes into a new array, so that a read error or a lack of memory half-way
    // leaves the buffer as it was.
    CLineAssembler assembler(lines);
    std::size_t got = kReadBlock;
    while (enough && got == kReadBlock) {
        got = std::fread(block.get(), 1, kReadBlock, file.get());
        if (std::ferror(file.get()))
            return FALSE;
        enough = assembler.Feed(block.get(), got);
    }
    if (!enough) {
        // Give the partial text back before telling the user.
        std::vector<LineRecord>().swap(lines);
        AfxMessageBox(kIdsOutOfMemory);
        return FALSE;
    }
    file.reset();
    m_lines.swap(lines);
    m_history->Clear();
    SetModified(FALSE);
    SendReset();
    return TRUE;
}

int CTextBuf::SaveToFile(const char* fileName, int clearModified)
{
    zorkit::AtomicFileWriter out;
    if (!fileName || !out.Open(fileName))
        return FALSE;
    std::string chunk;
    chunk.reserve(kWriteChunk);
    for (const LineRecord& line : m_lines) {
        std::size_t length = std::size_t(line.length);
        if (chunk.size() + length + 2 > kWriteChunk) {
            if (!out.Write(chunk.data(), chunk.size()))
                return FALSE;
            chunk.clear();
        }
        if (length + 2 > kWriteChunk) {
            if (!out.Write(line.chars.get(), length))
                return FALSE;
        } else {
            chunk.append(line.chars.get(), length);
        }
        chunk.append("\r\n");
    }
    if (!out.Write(chunk.data(), chunk.size()) || !out.Commit())
        return FALSE;
    if (clearModified)
        SetModified(FALSE);
    return TRUE;
}

int CTextBuf::InsertText(CTextView* source, const char* text, CPoint pos, CPoint& end)
{
    if (m_readOnly || !text)
        return FALSE;
    std::vector<TextPiece> pieces;
    try {
        pieces = SplitAtBreaks(text);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    if (!InsertPieces(source, pieces, pos, end))
        return FALSE;
    Record(UndoStep{pos, end, true, {}}, true, IsTypedCharacter(pieces));
    SetModified(TRUE);
    return TRUE;
}

int CTextBuf::InsertPieces(CTextView* source, const std::vector<TextPiece>& pieces, CPoint pos, CPoint& end)
{
    bool materialize = m_lines.empty() && pos == CPoint(0, 0);
    if (!materialize && !IsPosition(pos))
        return FALSE;

    // Everything that can run out of memory happens before the first change.
    std::vector<LineRecord> added;
    try {
        added.resize(pieces.size() - 1);
        m_lines.reserve(m_lines.size() + added.size() + (materialize ? 1 : 0));
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    if (materialize) {
        LineRecord empty;
        if (!empty.Create(nullptr, 0))
            return FALSE;
        m_lines.push_back(std::move(empty));
    }
    LineRecord& first = m_lines[pos.y];
    const TextPiece& head = pieces.front();
    int tailLength = first.length - pos.x;
    if (pieces.size() == 1) {
        if (head.length > LineRecord::kMaxLength - first.length || !first.Reserve(first.length + head.length))
            return FALSE;
        char* at = first.chars.get() + pos.x;
        std::memmove(at + head.length, at, std::size_t(tailLength));
        std::memcpy(at, head.bytes, std::size_t(head.length));
        first.length += head.length;
        end = CPoint(pos.x + head.length, pos.y);
    } else {
        const TextPiece& last = pieces.back();
        LineRecord& closing = added.back();
        if (last.length > LineRecord::kMaxLength - tailLength || !closing.Create(last.bytes, last.length) ||
            !closing.Append(first.chars.get() + pos.x, tailLength))
            return FALSE;
        for (std::size_t i = 1; i + 1 < pieces.size(); ++i)
            if (!added[i - 1].Create(pieces[i].bytes, pieces[i].length))
                return FALSE;
        if (head.length > LineRecord::kMaxLength - pos.x || !first.Reserve(pos.x + head.length))
            return FALSE;
        std::memcpy(first.chars.get() + pos.x, head.bytes, std::size_t(head.length));
        first.length = pos.x + head.length;
        m_lines.insert(m_lines.begin() + pos.y + 1, std::make_move_iterator(added.begin()),
            std::make_move_iterator(added.end()));
        end = CPoint(last.length, pos.y + int(added.size()));
    }

    CInsertUpdateContext context(pos, end);
    bool newLines = pieces.size() > 1 || materialize;
    UpdateViews(source, &context, newLines ? TBU_LINECOUNT | TBU_WIDTH : TBU_ONELINE | TBU_WIDTH, pos.y);
    return TRUE;
}

int CTextBuf::DeleteText(CTextView* source, CPoint start, CPoint end)
{
    if (m_readOnly || !IsRange(start, end))
        return FALSE;
    UndoStep step{start, end, false, {}};
    // Text the history could not hold is not even copied.
    bool kept = CaptureText(start, end, m_history->Limit(), step.text);
    if (!RemoveText(source, start, end))
        return FALSE;
    Record(std::move(step), kept, false);
    SetModified(TRUE);
    return TRUE;
}

int CTextBuf::RemoveText(CTextView* source, CPoint start, CPoint end)
{
    if (!IsRange(start, end))
        return FALSE;
    LineRecord& first = m_lines[start.y];
    CDeleteUpdateContext context(start, end);
    if (start.y == end.y) {
        char* at = first.chars.get();
        std::memmove(at + start.x, at + end.x, std::size_t(first.length - end.x));
        first.length -= end.x - start.x;
        UpdateViews(source, &context, TBU_ONELINE | TBU_WIDTH, start.y);
    } else {
        const LineRecord& last = m_lines[end.y];
        int tailLength = last.length - end.x;
        if (!first.Reserve(start.x + tailLength))
            return FALSE;
        std::memcpy(first.chars.get() + start.x, last.chars.get() + end.x, std::size_t(tailLength));
        first.length = start.x + tailLength;
        m_lines.erase(m_lines.begin() + start.y + 1, m_lines.begin() + end.y + 1);
        UpdateViews(source, &context, TBU_LINECOUNT | TBU_WIDTH, start.y);
    }
    return TRUE;
}

bool CTextBuf::CaptureText(CPoint start, CPoint end, std::size_t limit, UndoText& text) const
{
    std::size_t lines = std::size_t(end.y - start.y + 1);
    std::size_t size = std::size_t(end.x - start.x);
    for (int line = start.y; line < end.y; ++line)
        size += std::size_t(m_lines[line].length);
    if (size + lines * sizeof(int) > limit)
        return false;
    try {
        text.bytes.reserve(size);
        text.lineLengths.reserve(lines);
        for (int line = start.y; line <= end.y; ++line) {
            const LineRecord& record = m_lines[line];
            int from = line == start.y ? start.x : 0;
            int to = line == end.y ? end.x : record.length;
            text.bytes.append(record.chars.get() + from, std::size_t(to - from));
            text.lineLengths.push_back(to - from);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CTextBuf::Record(UndoStep&& step, bool kept, bool typed)
{
    if (step.start == step.end)
        return;
    if (kept)
        m_history->Record(std::move(step), typed);
    else
        m_history->Clear();
}

BOOL CTextBuf::CanUndo() const { return !m_readOnly && m_history->CanUndo(); }

BOOL CTextBuf::CanRedo() const { return !m_readOnly && m_history->CanRedo(); }

BOOL CTextBuf::Undo(CPoint& cursor)
{
    if (!CanUndo())
        return FALSE;
    UndoGroup group = m_history->TakeUndo();
    std::vector<UndoStep>& steps = group.steps;
    bool done = std::all_of(steps.rbegin(), steps.rend(), [&](UndoStep& step) { return Replay(step, cursor); });
    if (done)
        m_history->Undone(std::move(group));
    return FinishReplay(done);
}

BOOL CTextBuf::Redo(CPoint& cursor)
{
    if (!CanRedo())
        return FALSE;
    UndoGroup group = m_history->TakeRedo();
    std::vector<UndoStep>& steps = group.steps;
    bool done = std::all_of(steps.begin(), steps.end(), [&](UndoStep& step) { return Replay(step, cursor); });
    if (done)
        m_history->Redone(std::move(group));
    return FinishReplay(done);
}

BOOL CTextBuf::FinishReplay(bool done)
{
    if (!done) {
        // Part of the step may have been carried out, or a view edited in between: the
        // history no longer fits the text.
        m_history->Clear();
        SetModified(TRUE);
        return FALSE;
    }
    SetModified(!m_history->AtSaved());
    return TRUE;
}

bool CTextBuf::Replay(UndoStep& step, CPoint& cursor)
{
    return Toggle(step, cursor) && m_history->TakenGroupFits();
}

bool CTextBuf::Toggle(UndoStep& step, CPoint& cursor)
{
    if (step.inBuffer) {
        UndoText text;
        // Text too large for the history is still taken, and its redo forgotten after.
        if (!CaptureText(step.start, step.end, std::size_t(-1), text) || !RemoveText(nullptr, step.start, step.end))
            return false;
        step.text = std::move(text);
        cursor = step.start;
    } else {
        std::vector<TextPiece> pieces;
        try {
            pieces = step.text.Pieces();
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (!InsertPieces(nullptr, pieces, step.start, cursor))
            return false;
        step.text = UndoText();
    }
    step.inBuffer = !step.inBuffer;
    return true;
}

void CTextBuf::CloseUndoGroup() { m_history->CloseRun(); }

void CTextBuf::BeginUndoGroup() { m_history->BeginGroup(); }

void CTextBuf::EndUndoGroup() { m_history->EndGroup(); }

void CTextBuf::SetUndoLimit(std::size_t bytes) { m_history->SetLimit(bytes); }

void CTextBuf::SetLineFlags(int line, unsigned long mask, int set)
{
    if (!IsLine(line))
        return;
    DWORD& flags = m_lines[line].flags;
    DWORD old = flags;
    if (set) {
        if (old & mask)
            return;
        flags = DWORD(old | mask);
    } else {
        if (!(old & mask))
            return;
        flags = DWORD(old & ~mask);
    }
    if (flags != old)
        UpdateViews(nullptr, nullptr, TBU_LINEFLAGS | TBU_ONELINE, line);
}

void CTextBuf::SetReadOnly(int readOnly) { m_readOnly = readOnly; }

void CTextBuf::SetModified(int modified)
{
    m_modified = modified;
    if (!modified)
        m_history->MarkSaved();
}

void CTextBuf::AddView(CTextView* view)
{
    if (view)
        m_views.push_back(view);
}

void CTextBuf::RemoveView(CTextView* view)
{
    auto at = std::find(m_views.begin(), m_views.end(), view);
    if (at != m_views.end())
        m_views.erase(at);
}

void CTextBuf::UpdateViews(CTextView* source, CUpdateContext* context, unsigned long hints, int line)
{
    // A view may detach (itself or another) while it is being updated: each view listed
    // at the start is called once if it is still listed when its turn comes.
    std::vector<CTextView*> views = m_views;
    for (CTextView* view : views)
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->UpdateView(source, context, hints, line);
}

bool CTextBuf::IsLine(int line) const { return line >= 0 && line < GetLineCount(); }

bool CTextBuf::IsPosition(CPoint pos) const
{
    if (m_lines.empty())
        return pos == CPoint(0, 0);
    return IsLine(pos.y) && pos.x >= 0 && pos.x <= m_lines[pos.y].length;
}

bool CTextBuf::IsRange(CPoint start, CPoint end) const
{
    return !m_lines.empty() && IsPosition(start) && IsPosition(end) &&
        (start.y < end.y || (start.y == end.y && start.x <= end.x));
}

void CTextBuf::SendReset() { UpdateViews(nullptr, nullptr, TBU_RESET, -1); }
