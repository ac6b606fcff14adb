// listingshot: a picture of a disassembly listing in a text view, the way a debugging
// host shows it: the current line marked by the arrow, a breakpoint line in red.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "zorkit/disasm/Disassemble.h"
#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/TextView.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "zorkit/platform/ui/WindowClass.h"
#include "tools/common/ExitStatus.h"
#include "tools/common/OutputPath.h"
#include "tools/common/ToolMain.h"

namespace {

using tools::kExitFailed;
using tools::kExitOk;
using tools::kExitUsage;
constexpr int kCurrentLine = 4;
constexpr int kBreakpointLine = 9;
// Address and code bytes take this many columns, so that the instructions line up.
constexpr std::size_t kCodeColumns = 16;

const char kUsage[] =
    "Usage: listingshot PNG\n"
    "\n"
    "Writes a picture of an 8051 disassembly listing in a text view to the file PNG, the\n"
    "way the debugging host shows it: the current line is marked by the arrow, a\n"
    "breakpoint line is drawn white on red. No display is needed.\n"
    "\n"
    "Options:\n"
    "  -h, --help     this text\n"
    "\n"
    "Exit status: 0 when the picture was written, 1 when it could not be, 2 for usage errors.\n";

// A small 8051 program: count R7 down into P1, with a subroutine call.
unsigned char kProgram[] = {
    0x75, 0x81, 0x60,  // mov sp,#60h
    0x78, 0x30,        // mov r0,#30h
    0x7F, 0x10,        // mov r7,#10h
    0xEF,              // mov a,r7
    0xF5, 0x90,        // mov p1,a
    0xF6,              // mov @r0,a
    0x08,              // inc r0
    0x12, 0x00, 0x1A,  // lcall 001Ah
    0xDF, 0xF6,        // djnz r7,-10
    0x80, 0xFE,        // sjmp $
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x7E, 0xFF,        // mov r6,#0FFh
    0xDE, 0xFE,        // djnz r6,$
    0x22,              // ret
};

int Shoot(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (argc != 2 || (argv[1][0] == '-' && argv[1][1] != '\0')) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    // The file is checked before the work, so that its reason is the system's own.
    if (auto why = tools::CheckOutputPath(argv[1])) {
        std::fprintf(stderr, "listingshot: %s\n", why->c_str());
        return kExitFailed;
    }

    CTextBuf buffer;
    CDisassemble listing;
    listing.initaddr(kProgram, nullptr, 0, int(sizeof kProgram));
    for (CString text = listing.disamble(0); !text.IsEmpty(); text = listing.disamble(0)) {
        std::string line = listing.robotcd(0).str();
        line.erase(line.find_last_not_of(' ') + 1);
        line.resize(kCodeColumns, ' ');
        buffer.InsertLine((line + text.str()).c_str());
    }
    buffer.SetLineFlags(kCurrentLine, LINEMARK_ARROW, TRUE);
    buffer.SetLineFlags(kBreakpointLine, LINEMARK_DOT, TRUE);

    CWnd frame;
    CTextView view;
    if (!frame.CreateEx(0, AfxRegisterWndClass(0), "listing", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr,
                        0) ||
        !view.Create(nullptr, "listing", WS_CHILD | WS_VISIBLE, CRect(0, 0, 420, 300), &frame, 1)) {
        std::fputs("listingshot: the window could not be created\n", stderr);
        return kExitFailed;
    }
    view.AttachToBuffer(&buffer);
    view.UpdateWindow();
    errno = 0;
    if (!zorkit::WriteWindowPng(view.m_hWnd, argv[1])) {
        const int error = errno;
        view.DetachFromBuffer();
        std::fprintf(stderr, "listingshot: cannot write %s: %s\n", argv[1],
                     error ? std::strerror(error) : "the picture could not be made");
        return kExitFailed;
    }
    view.DetachFromBuffer();
    return kExitOk;
}

}

int main(int argc, char** argv) { return tools::RunTool("listingshot", Shoot, argc, argv); }
