#include "zorkit/link/CommPort.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <mutex>

#include "zorkit/link/LinkErrors.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/serial/PortTable.h"

namespace {

std::mutex g_directoryLock;
std::string g_logDirectory;

std::string DefaultLogDirectory()
{
    if (const char* dir = std::getenv("ZORKIT_LOG_DIR"); dir && *dir)
        return dir;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
        return std::string(state) + "/zorkit";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/state/zorkit";
    return std::filesystem::temp_directory_path().string();
}

constexpr DWORD kLogWrapSize = 50000;
constexpr DWORD kQueueSize = 1024;
constexpr DWORD kWriteDrainMs = 500;
constexpr DWORD kTimeoutConstantMs = 1000;

}

CCommPort::CCommPort(int port, int baud) : m_nPort(port), m_nBaud(baud)
{
    std::error_code ignored;
    std::filesystem::create_directories(GetLogDirectory(), ignored);
    m_log.reset(std::fopen(GetLogPath().c_str(), "w+b"));
    if (m_log) {
        LogText("日志文件成功创建！");
        WriteTimeStamp();
        WriteLog("");
    }
}

CCommPort::~CCommPort()
{
    if (m_log) {
        LogText("\r\n日志文件即将被关闭");
        WriteTimeStamp();
    }
}

void CCommPort::SetLogDirectory(const std::string& directory)
{
    std::lock_guard<std::mutex> hold(g_directoryLock);
    g_logDirectory = directory;
}

std::string CCommPort::GetLogDirectory()
{
    std::lock_guard<std::mutex> hold(g_directoryLock);
    return g_logDirectory.empty() ? DefaultLogDirectory() : g_logDirectory;
}

std::string CCommPort::GetLogPath() { return GetLogDirectory() + "/ZORCOMM.LOG"; }

void CCommPort::WriteTimeStamp()
{
    static std::mutex clockLock;
    char stamp[64] = "";
    std::time_t now = std::time(nullptr);
    {
        std::lock_guard<std::mutex> hold(clockLock);
        if (const std::tm* local = std::localtime(&now))
            std::strftime(stamp, sizeof stamp, "%Y年%m月%d日 %H:%M:%S", local);
    }
    LogText(stamp);
}

BOOL CCommPort::LogText(const char* utf8) { return WriteLog(zorkit::GbkFromUtf8(utf8).c_str()); }

BOOL CCommPort::WriteLog(const char* text)
{
    std::FILE* file = m_log.get();
    if (!file)
        return FALSE;
    std::lock_guard<std::mutex> hold(m_logLock);
    if (std::fseek(file, 0, SEEK_END) != 0)
        return FALSE;
    long size = std::ftell(file);
    if (size < 0)
        return FALSE;
    // An overgrown log is written over from its start, never truncated.
    if (DWORD(size) > kLogWrapSize)
        std::fseek(file, 0, SEEK_SET);
    if (text && *text)
        std::fwrite(text, 1, std::strlen(text), file);
    std::fwrite("\r\n", 1, 2, file);
    std::fflush(file);
    return TRUE;
}

BOOL CCommPort::OpenPort()
{
    if (OpenPortUnlogged())
        return TRUE;
    LogOpenFailure();
    return FALSE;
}

BOOL CCommPort::OpenPortUnlogged()
{
    using zorkit::SerialOpenFailure;
    if (!m_serial.Open(m_nPort)) {
        SerialOpenFailure why = m_serial.LastOpenFailure();
        // A device without a serial line is taken for one whose event mask cannot be set,
        // so hosts keep showing the system-error message for it.
        return FailOpen(why == SerialOpenFailure::NotATerminal ? ERR_EVENT_MASK_ON_OPEN : ERR_OPEN_PORT, why);
    }
    if (!m_serial.SetEventMask(0))
        return FailOpen(ERR_EVENT_MASK_ON_OPEN, SerialOpenFailure::SystemError);
    if (!m_serial.SetQueueSizes(kQueueSize, kQueueSize))
        return FailOpen(ERR_QUEUE_SIZES, SerialOpenFailure::SystemError);
    if (!m_serial.PurgeInput() || !m_serial.PurgeOutput())
        return FailOpen(ERR_PURGE_ON_OPEN, SerialOpenFailure::SystemError);
    if (!SetupPort(FALSE))
        return FailOpen(ERR_SETUP_ON_OPEN, SerialOpenFailure::SettingsRefused);
    m_lastOpenFailure = SerialOpenFailure::None;
    SetActive(1);
    // Pseudo-terminals have no modem lines; a real port raises DTR and RTS here.
    m_serial.SetDtr(true);
    m_serial.SetRts(true);
    return TRUE;
}

BOOL CCommPort::FailOpen(int code, zorkit::SerialOpenFailure why)
{
    // A device that opened but could not be set up is not kept: the next open would
    // find it still held, and a port server would keep serving nobody.
    m_serial.Close();
    PushError(code);
    m_lastOpenFailure = why;
    return FALSE;
}

void CCommPort::LogOpenFailure()
{
    std::string line = "ERROR: 无法打开串口设备 " + zorkit::SerialPortPath(m_nPort) + "：" +
                       zorkit::DescribeSerialOpenFailure(m_lastOpenFailure);
    LogText(line.c_str());
}

BOOL CCommPort::SetupPort(BOOL baudOnly)
{
    if (!m_serial.IsOpen())
        return FALSE;
    // An index outside the table names no rate: refused rather than run at another one.
    if (m_nBaud < 0 || m_nBaud >= int(std::size(kBaudRates))) {
        PushError(ERR_LINE_SETTINGS);
        return FALSE;
    }
    DWORD baud = DWORD(kBaudRates[m_nBaud]);
    if (m_serial.ApplySettings(baud, baudOnly != FALSE) == zorkit::CSerialPort::SettingsResult::WriteFailed) {
        PushError(ERR_LINE_SETTINGS);
        return FALSE;
    }
    if (!m_serial.SetTimeouts(50000 / baud, kTimeoutConstantMs)) {
        PushError(ERR_TIMEOUTS);
        return FALSE;
    }
    return TRUE;
}

BOOL CCommPort::CloseConnection()
{
    if (!m_serial.IsOpen())
        return FALSE;
    m_serial.SetEventMask(0);
    m_serial.SetDtr(false);
    SetActive(0);
    if (!m_serial.Close()) {
        PushError(ERR_CLOSE_PORT);
        return FALSE;
    }
    return TRUE;
}

DWORD CCommPort::GetQueueCount(BOOL input) { return input ? m_serial.QueuedInput() : m_serial.QueuedOutput(); }

DWORD CCommPort::ReadBytes(BYTE* buffer, DWORD n)
{
    DWORD waiting = GetQueueCount(TRUE);
    if (n == 0 || n > waiting)
        n = waiting;
    if (n == 0)
        return 0;
    long got = m_serial.Read(buffer, n);
    if (got < 0) {
        PushError(ERR_READ);
        SetZORConnect(0);
        return 0;
    }
    return DWORD(got);
}

DWORD CCommPort::WriteBytes(const BYTE* buffer, DWORD n)
{
    m_serial.WaitOutputEmpty(kWriteDrainMs);
    long put = m_serial.Write(buffer, n);
    // A write cut short by its time-out is not a failure of the port: the count tells.
    if (put < 0) {
        PushError(ERR_WRITE);
        SetZORConnect(0);
        return 0;
    }
    return DWORD(put);
}

BOOL CCommPort::WaitEvent(DWORD& mask) { return m_serial.WaitEvent(mask); }

BOOL CCommPort::SetEventMask(DWORD mask) { return m_serial.SetEventMask(mask); }

DWORD CCommPort::GetEventMask() { return m_serial.GetEventMask(); }

BOOL CCommPort::PurgeInput() { return m_serial.PurgeInput(); }

BOOL CCommPort::PurgeOutput() { return m_serial.PurgeOutput(); }
