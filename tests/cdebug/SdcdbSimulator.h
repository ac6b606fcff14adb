// s51 (Debian's sdcc-ucsim) as the simulator of an sdcdb that has SdcdbSocketShim
// loaded: sdcdb connects to Port(), and each command it sends goes to s51 on a
// terminal; s51's answer, once its prompt has come, goes back to sdcdb without s51's
// echo of the command, ended by the null sdcdb takes for the prompt. So every answer
// is read with its own command, however long s51 takes.
//
//   CSdcdbSimulator simulator(dir);   // s51 starts in dir, where sdcdb loads from
//   SdcdbSession sdcdb(dir, "lab", &simulator);
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <optional>
#include <regex>
#include <string>
#include <thread>

#include "tests/support/ChildProcess.h"
#include "zorkit/platform/core/FileDescriptor.h"

class CSdcdbSimulator {
public:
    static constexpr const char* kProgram = "/usr/bin/s51";

    explicit CSdcdbSimulator(const std::filesystem::path& directory)
        : m_s51(kProgram, {"-P", "-b", "-t", "8052"}, std::chrono::minutes(5), zorkit::test::CChildProcess::Streams::Terminal,
                {directory.string(), {}}),
          m_stop(::eventfd(0, EFD_CLOEXEC)),
          m_listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (!m_listener.IsValid() || ::bind(m_listener.Get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(m_listener.Get(), 1) != 0 ||
            ::getsockname(m_listener.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_relay = std::thread([this] { Relay(); });
    }

    CSdcdbSimulator(const CSdcdbSimulator&) = delete;
    CSdcdbSimulator& operator=(const CSdcdbSimulator&) = delete;
    ~CSdcdbSimulator()
    {
        const std::uint64_t one = 1;
        (void)!::write(m_stop.Get(), &one, sizeof one);
        // Ends a wait for an answer that will not come.
        m_s51.Signal(SIGKILL);
        if (m_relay.joinable())
            m_relay.join();
    }

    bool Listening() const { return m_port != 0 && m_s51.Started(); }
    int Port() const { return m_port; }

    // What went wrong between sdcdb and s51; empty while nothing has.
    std::string Fault() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_fault;
    }

private:
    void Fail(const std::string& fault)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fault = fault;
    }

    // False once `fd` has nothing more or the simulator is going away.
    bool WaitToRead(int fd)
    {
        pollfd ready[2] = {{fd, POLLIN, 0}, {m_stop.Get(), POLLIN, 0}};
        return ::poll(ready, 2, -1) > 0 && !(ready[1].revents & POLLIN) && ready[0].revents;
    }

    static bool Send(int fd, const std::string& bytes)
    {
        return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }

    // s51's answer to `command`, between its echo and its prompt.
    std::optional<std::string> Ask(const std::string& command)
    {
        const std::size_t start = m_s51.Out().size();
        const std::string echo = command + "\r\n";
        if (!m_s51.Type(command + "\n") || !m_s51.WaitForOutFrom(start, echo))
            return std::nullopt;
        const std::size_t from = m_s51.Out().find(echo, start) + echo.size();
        if (!m_s51.WaitForOutFrom(from, std::string(1, '\0')))
            return std::nullopt;
        std::string answer = m_s51.Out().substr(from, m_s51.Out().find('\0', from) - from);
        return command == "pc" ? InSdcdbsForm(answer) : answer;
    }

    // This sdcdb reads where the program stands from a "PC=0x...." text, which
    // this s51's answer to pc (a label line, then the instruction) does not hold.
    static std::string InSdcdbsForm(const std::string& pc)
    {
        static const std::regex instruction(R"((?:^|\n)0x([0-9a-f]+) )");
        std::smatch m;
        if (!std::regex_search(pc, m, instruction))
            return pc;
        char text[24];
        std::snprintf(text, sizeof text, "PC=0x%04lx\r\n", std::stoul(m[1], nullptr, 16));
        return text;
    }

    void Relay()
    {
        if (!m_s51.WaitForOut(std::string(1, '\0')))
            return Fail("s51 gave no prompt: " + m_s51.Out());
        if (!WaitToRead(m_listener.Get()))
            return;
        zorkit::FileDescriptor sdcdb(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        // sdcdb reads a greeting before its first command.
        if (!sdcdb.IsValid() || !Send(sdcdb.Get(), std::string(1, '\0')))
            return Fail("sdcdb's connection failed");
        std::string pending;
        for (;;) {
            std::size_t end;
            while ((end = pending.find('\n')) != std::string::npos) {
                const std::string command = pending.substr(0, end);
                pending.erase(0, end + 1);
                const std::optional<std::string> answer = Ask(command);
                if (!answer)
                    return Fail("s51 did not answer " + command);
                if (!Send(sdcdb.Get(), *answer + '\0'))
                    return;
            }
            char chunk[512];
            ssize_t n = 0;
            if (!WaitToRead(sdcdb.Get()) || (n = ::read(sdcdb.Get(), chunk, sizeof chunk)) <= 0)
                return;
            pending.append(chunk, std::size_t(n));
        }
    }

    zorkit::test::CChildProcess m_s51;
    zorkit::FileDescriptor m_stop;
    zorkit::FileDescriptor m_listener;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::string m_fault;
    std::thread m_relay;
};
