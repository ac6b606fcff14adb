// The monitor's commands: one frame each, acknowledged by the board.
#include <cstdio>
#include <memory>
#include <vector>

#include "zorkit/link/ZORComm.h"
#include "zorkit/link/internal/ProgramImage.h"
#include "zorkit/platform/core/StdioFile.h"
#include "zorkit/platform/core/Time.h"

namespace {
constexpr DWORD kQuietAfterConstructionMs = 50;
constexpr DWORD kPauseBeforeFrameMs = 100;
constexpr DWORD kPauseBetweenChunksMs = 100;
constexpr DWORD kChunkBytes = 64;
constexpr DWORD kRecordHeaderBytes = zorkit::link::kImageRecordHeaderBytes;
constexpr WORD kFileLoadAddress = 0x1100;
constexpr WORD kFileStartAddress = 0x0100;

void PutAddress(BYTE* frame, WORD addr)
{
    frame[2] = BYTE(addr & 0xFF);
    frame[3] = BYTE(addr >> 8);
}

}

BOOL CZORComm::SendZORCmd(ZORCMD code, DWORD length)
{
    if (IsProgExcAll())
        return FALSE;
    m_lastCommand = code;
    char line[32];
    std::snprintf(line, sizeof line, "发送指令字: %02XH", unsigned(code));
    LogText(line);
    DWORD since = GetTickCount() - m_constructionTime;
    if (since < kQuietAfterConstructionMs)
        Sleep(kQuietAfterConstructionMs - since);
    m_send[0] = BYTE(length);
    m_send[1] = BYTE(code);
    PurgeInput();
    Sleep(kPauseBeforeFrameMs);
    return SendWithCheck(length) && WaitForAck();
}

BOOL CZORComm::MemoryDownload(ZORCMD code, const BYTE* data, DWORD n, WORD addr)
{
    if (n > kMaxDownloadBytes) {
        LogText("ERROR: 一帧最多下载 250 个字节！");
        return FALSE;
    }
    PutAddress(m_send, addr);
    m_send[4] = BYTE(n);
    for (DWORD i = 0; i < n; ++i)
        m_send[5 + i] = data[i];
    return SendZORCmd(code, n + 5);
}

BOOL CZORComm::MemoryUpload(ZORCMD code, BYTE* out, DWORD n, WORD addr)
{
    if (n > kMaxUploadBytes) {
        LogText("ERROR: 一次最多上载 255 个字节！");
        return FALSE;
    }
    PutAddress(m_send, addr);
    m_send[4] = BYTE(n);
    return SendZORCmd(code, 5) && ReceiveWithCheck(out, n);
}

BOOL CZORComm::ExMemDld(BYTE* data, DWORD n, WORD addr) { return MemoryDownload(CMD_EXMEM_DLD, data, n, addr); }
BOOL CZORComm::ExMemUld(BYTE* out, DWORD n, WORD addr) { return MemoryUpload(CMD_EXMEM_ULD, out, n, addr); }
BOOL CZORComm::InMemDld(BYTE* data, DWORD n, WORD addr) { return MemoryDownload(CMD_INMEM_DLD, data, n, addr); }
BOOL CZORComm::InMemUld(BYTE* out, DWORD n, WORD addr) { return MemoryUpload(CMD_INMEM_ULD, out, n, addr); }

BOOL CZORComm::RegisterDld(BYTE* regs)
{
    for (int i = 0; i < int(m_detectedType); ++i)
        m_send[2 + i] = regs[i];
    return SendZORCmd(CMD_REG_DLD, 52);
}

BOOL CZORComm::RegisterUld(BYTE* out)
{
    return SendZORCmd(CMD_REG_ULD, 2) && ReceiveWithCheck(out, DWORD(m_detectedType));
}

BOOL CZORComm::ProgDld(const BYTE* image, DWORD size)
{
    if (!zorkit::link::ImageRecordsFit(image, size)) {
        LogText("ERROR: 程序映像的记录超出了映像的长度！");
        return FALSE;
    }
    return zorkit::link::ForEachImageChunk(image, size, kChunkBytes, [this](const zorkit::link::ImageChunk& chunk) {
        PutAddress(m_send, chunk.address);
        m_send[4] = BYTE(chunk.count);
        for (DWORD i = 0; i < chunk.count; ++i)
            m_send[5 + i] = chunk.bytes[i];
        if (!SendZORCmd(CMD_PROG_DLD, chunk.count + 5))
            return false;
        Sleep(kPauseBetweenChunksMs);
        return true;
    });
}

BOOL CZORComm::ProgDld(char* path)
{
    zorkit::StdioFile file(std::fopen(path, "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return FALSE;
    long length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return FALSE;
    if (DWORD(length) > kMaxProgramFileBytes) {
        LogText("ERROR: 程序文件超过 65535 个字节！");
        return FALSE;
    }
    std::vector<BYTE> image(kRecordHeaderBytes + std::size_t(length));
    if (std::fread(image.data() + kRecordHeaderBytes, 1, std::size_t(length), file.get()) != std::size_t(length))
        return FALSE;
    image[0] = BYTE(length & 0xFF);
    image[1] = BYTE((length >> 8) & 0xFF);
    image[2] = BYTE(kFileLoadAddress & 0xFF);
    image[3] = BYTE(kFileLoadAddress >> 8);
    if (!ProgDld(image.data(), DWORD(image.size())))
        return FALSE;
    ProgReset(kFileStartAddress);
    return TRUE;
}

BOOL CZORComm::SendAddressCommand(ZORCMD code, WORD addr)
{
    PutAddress(m_send, addr);
    return SendZORCmd(code, 4);
}

BOOL CZORComm::ProgReset(WORD addr) { return SendAddressCommand(CMD_PROG_RESET, addr); }

BOOL CZORComm::ProgExec(WORD addr)
{
    if (m_breakpointCount != 0)
        return SendAddressCommand(CMD_PROG_EXEC, addr) && SetZORRunning(TRUE);
    // Without breakpoints the program never reports a stop: only a reset ends the run.
    BOOL result = SendAddressCommand(CMD_PROG_EXEC, addr);
    m_execAll.store(1, std::memory_order_release);
    m_running.store(1, std::memory_order_release);
    return result;
}

BOOL CZORComm::FromCursor(WORD addr) { return ProgExec(addr); }

BOOL CZORComm::GotoCursor(WORD addr) { return SendAddressCommand(CMD_GOTO_CURSOR, addr) && SetZORRunning(TRUE); }

BOOL CZORComm::SetBreakPt(WORD addr)
{
    if (!SendAddressCommand(CMD_SET_BREAK, addr))
        return FALSE;
    ++m_breakpointCount;
    return TRUE;
}

BOOL CZORComm::ClearBreakPt(WORD addr)
{
    if (!SendAddressCommand(CMD_CLEAR_BREAK, addr))
        return FALSE;
    --m_breakpointCount;
    return TRUE;
}

BOOL CZORComm::ClearAllBreakPt()
{
    if (!SendZORCmd(CMD_CLEAR_ALL_BREAK, 2))
        return FALSE;
    m_breakpointCount = 0;
    return TRUE;
}

BOOL CZORComm::StepDebug() { return SendZORCmd(CMD_STEP, 4) && SetZORRunning(TRUE); }

BOOL CZORComm::TraceDebug() { return SendZORCmd(CMD_TRACE, 4); }

BOOL CZORComm::CopyRun(WORD addr, BOOL on)
{
    m_copyRun.store(on, std::memory_order_release);
    m_copyRunAddr.store(addr, std::memory_order_release);
    if (!on)
        return FALSE;
    return SendZORCmd(CMD_STEP, 4) && SetZORRunning(TRUE);
}

BOOL CZORComm::KeyMonitor()
{
    if (!SendZORCmd(CMD_KEY_MONITOR, 2))
        return FALSE;
    m_connected.store(0, std::memory_order_release);
    return TRUE;
}
