// Message boxes and the beep. Without a display backend a message box is recorded
// (tests read the records), echoed to stderr in UTF-8 and answered with its default
// button. A host or an on-screen backend replaces the presenter with SetMessageBoxPresenter.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"

constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x0002;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_RETRYCANCEL = 0x0005;
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x0040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;
constexpr UINT MB_TYPEMASK = 0x000F;
constexpr UINT MB_ICONMASK = 0x00F0;
constexpr UINT MB_DEFMASK = 0x0F00;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

int MessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type);
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
// Shows string resource `promptId`.
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = (UINT)-1);
BOOL MessageBeep(UINT type);

namespace zorkit {

struct MessageBoxRecord {
    std::string text;    // GBK, as the library passed it
    std::string caption; // GBK
    UINT type;
    int answer;
};

using MessageBoxPresenter = std::function<int(const MessageBoxRecord&)>;
using BeepHook = std::function<void(UINT)>;

// The button a message box of `type` answers when nobody is there to press one.
int DefaultMessageBoxAnswer(UINT type);
// Replaces how boxes are shown; an empty presenter restores the headless default.
void SetMessageBoxPresenter(MessageBoxPresenter presenter);
void SetBeepHook(BeepHook hook);
// The boxes shown since the last clear, oldest first (recorded whatever the presenter).
// Only the latest kRecordedMessageBoxLimit are kept, so a long-running host does not grow.
constexpr std::size_t kRecordedMessageBoxLimit = 256;
std::vector<MessageBoxRecord> RecordedMessageBoxes();
void ClearRecordedMessageBoxes();
// Turns the stderr echo of headless boxes on or off (on by default).
void SetMessageBoxEcho(bool on);

}
