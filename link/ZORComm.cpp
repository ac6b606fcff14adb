// Construction of a link and its block transfer layer: frames out, acknowledgements
// and checked data blocks in.
#include "zorkit/link/ZORComm.h"

#include "zorkit/link/LinkErrors.h"
#include "zorkit/link/internal/Protocol.h"
#include "zorkit/module/ResourceIds.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/core/Time.h"

using zorkit::IDS_PORT_IN_USE;
using zorkit::IDS_PORT_SYSTEM_ERROR;
using zorkit::link::kAck;
using zorkit::link::kNak;

namespace {
constexpr DWORD kAckWindowMs = 500;
constexpr DWORD kBlockWindowMs = 500;
constexpr DWORD kPauseBeforeAckMs = 10;
constexpr DWORD kPauseBeforeBlockMs = 100;
}

CZORComm::CZORComm(ZORTYPE expected, int port, int baud)
    : CCommPort(port, baud), m_expectedType(expected), m_lastCommand(static_cast<ZORCMD>(0))
{
    // No command has been sent yet: 0 is no command code, so CheckConnect tests the line.
    if (!OpenPort()) {
        CString message;
        if (PopError() == ERR_OPEN_PORT) {
            CString format;
            format.LoadString(IDS_PORT_IN_USE);
            message.Format(format, port + 1);
        } else {
            message.LoadString(IDS_PORT_SYSTEM_ERROR);
        }
        MessageBeep(0);
        AfxMessageBox(message, MB_OK | MB_ICONSTOP);
    }
    m_connected.store(0, std::memory_order_release);
    m_constructionTime = GetTickCount();
}

CZORComm::~CZORComm()
{
    if (IsActive())
        CloseConnection();
    m_worker.Terminate();
}

BOOL CZORComm::SendBlock(DWORD n, BOOL force)
{
    if (!IsZORConnect() && !force)
        return FALSE;
    return WriteBytes(m_send, n) == n;
}

BOOL CZORComm::SendWithCheck(DWORD length)
{
    BYTE sum = 0;
    for (DWORD i = 1; i < length; ++i)
        sum = BYTE(sum + m_send[i]);
    m_send[length] = sum;
    return SendBlock(length + 1, FALSE);
}

BOOL CZORComm::WaitForAck()
{
    LogText("正在等待单片机应答...");
    Sleep(kPauseBeforeAckMs);
    const DWORD deadline = GetTickCount() + kAckWindowMs;
    for (;;) {
        DWORD now = GetTickCount();
        if (zorkit::TickPassed(now, deadline))
            break;
        if (WaitForInput(1, deadline - now) == 0) {
            if (IsPortHungUp())
                break;
            continue;
        }
        BYTE answer = 0;
        if (!ReadByte(answer))
            break;
        if (answer == kAck) {
            LogText("成功收到应答！");
            return TRUE;
        }
        if (answer != kNak)
            break;
        PushError(ERR_BOARD_REFUSED);
    }
    LogText("ERROR: 通讯超时！！！");
    SetZORConnect(0);
    return FALSE;
}

BOOL CZORComm::ReceiveBlock(DWORD n)
{
    if (!IsZORConnect())
        return FALSE;
    if (n > sizeof m_receive)
        n = sizeof m_receive;
    WaitForInput(n, kBlockWindowMs);
    DWORD got = ReadBytes(m_receive, n);
    if (got < n) {
        PushError(ERR_BLOCK_INCOMPLETE);
        return FALSE;
    }
    return TRUE;
}

BOOL CZORComm::ReceiveWithCheck(BYTE* out, DWORD n)
{
    if (n > kMaxUploadBytes)
        return FALSE;
    Sleep(kPauseBeforeBlockMs);
    if (!ReceiveBlock(n + 1))
        return FALSE;
    BYTE sum = 0;
    for (DWORD i = 0; i < n; ++i)
        sum = BYTE(sum + m_receive[i]);
    // The board gets its answer before the checksum is judged.
    WriteByte(kAck);
    if (sum != m_receive[n]) {
        PushError(ERR_BLOCK_CHECKSUM);
        return FALSE;
    }
    for (DWORD i = 0; i < n; ++i)
        out[i] = m_receive[i];
    return TRUE;
}

BOOL CZORComm::SetCommOption(int port, int baud)
{
    LogText("正在重新设置串口通讯参数...");
    BOOL result;
    bool openFailed = false;
    if (port == m_nPort) {
        result = TRUE;
        if (baud != m_nBaud) {
            m_nBaud = baud;
            result = SetupPort(TRUE);
        }
    } else {
        m_nPort = port;
        m_nBaud = baud;
        result = CloseConnection();
        if (result) {
            result = OpenPortUnlogged();
            openFailed = !result;
        }
    }
    LogText(result ? "参数设置成功！" : "ERROR: 设置串口通讯参数失败！！！");
    // Why the new port could not be opened comes right after the failure it explains.
    if (openFailed)
        LogOpenFailure();
    return result;
}
