#include "zorkit/platform/core/MessageBox.h"

#include <cstdio>
#include <deque>
#include <mutex>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Resources.h"

namespace zorkit {
namespace {
std::mutex g_lock;
std::deque<MessageBoxRecord> g_records;
MessageBoxPresenter g_presenter;
BeepHook g_beep;
bool g_echo = true;

const int kButtons[][3] = {
    {IDOK, IDOK, IDOK},              // MB_OK
    {IDOK, IDCANCEL, IDCANCEL},      // MB_OKCANCEL
    {IDABORT, IDRETRY, IDIGNORE},    // MB_ABORTRETRYIGNORE
    {IDYES, IDNO, IDCANCEL},         // MB_YESNOCANCEL
    {IDYES, IDNO, IDNO},             // MB_YESNO
    {IDRETRY, IDCANCEL, IDCANCEL},   // MB_RETRYCANCEL
};
}

int DefaultMessageBoxAnswer(UINT type)
{
    UINT buttons = type & MB_TYPEMASK;
    if (buttons >= sizeof kButtons / sizeof kButtons[0])
        buttons = 0;
    UINT index = (type & MB_DEFMASK) >> 8;
    return kButtons[buttons][index > 2 ? 0 : index];
}

void SetMessageBoxPresenter(MessageBoxPresenter presenter)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_presenter = std::move(presenter);
}

void SetBeepHook(BeepHook hook)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_beep = std::move(hook);
}

std::vector<MessageBoxRecord> RecordedMessageBoxes()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return {g_records.begin(), g_records.end()};
}

void ClearRecordedMessageBoxes()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_records.clear();
}

void SetMessageBoxEcho(bool on)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_echo = on;
}

}

int MessageBox(HWND, LPCTSTR text, LPCTSTR caption, UINT type)
{
    zorkit::MessageBoxRecord record{text ? text : "", caption ? caption : "", type, zorkit::DefaultMessageBoxAnswer(type)};
    zorkit::MessageBoxPresenter presenter;
    bool echo;
    {
        std::lock_guard<std::mutex> hold(zorkit::g_lock);
        presenter = zorkit::g_presenter;
        echo = zorkit::g_echo;
    }
    if (presenter) {
        record.answer = presenter(record);
    } else if (echo) {
        std::string caption8 = zorkit::Utf8FromGbk(record.caption);
        std::fprintf(stderr, "[message%s%s] %s\n", caption8.empty() ? "" : ": ", caption8.c_str(),
                     zorkit::Utf8FromGbk(record.text).c_str());
    }
    std::lock_guard<std::mutex> hold(zorkit::g_lock);
    if (zorkit::g_records.size() == zorkit::kRecordedMessageBoxLimit)
        zorkit::g_records.pop_front();
    zorkit::g_records.push_back(record);
    return record.answer;
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT) { return MessageBox(nullptr, text, nullptr, type); }

int AfxMessageBox(UINT promptId, UINT type, UINT)
{
    const char* text = zorkit::FindStringResource(promptId);
    return MessageBox(nullptr, text ? text : "", nullptr, type);
}

BOOL MessageBeep(UINT type)
{
    zorkit::BeepHook hook;
    {
        std::lock_guard<std::mutex> hold(zorkit::g_lock);
        hook = zorkit::g_beep;
    }
    if (hook)
        hook(type);
    return TRUE;
}
