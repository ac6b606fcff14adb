// A port server on the loopback address in front of a board's serial device, as a
// lab PC publishes a box: ser2net with a generated configuration (telnet with
// RFC 2217, or raw TCP), or pyserial's RFC 2217 server.
//
//   CPortServer server(CPortServer::Kind::Ser2netTelnet, board.SlavePath(), scratch);
//   ASSERT_TRUE(server.Start()) << server.Error();
//   zorkit::SetSerialPortPath(5, server.DeviceName());     // rfc2217://127.0.0.1:PORT
#pragma once

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"

class CPortServer {
public:
    enum class Kind { Ser2netTelnet, Ser2netRaw, Pyserial };

    CPortServer(Kind kind, std::string device, const TempDir& scratch, int refusedBaud = 0)
        : m_kind(kind), m_device(std::move(device)), m_scratch(scratch), m_refusedBaud(refusedBaud)
    {
    }
    ~CPortServer() { Stop(); }
    CPortServer(const CPortServer&) = delete;
    CPortServer& operator=(const CPortServer&) = delete;

    // Starts the server (again on the same port after Stop) and waits until it accepts connections.
    bool Start()
    {
        // A restart listens where the clients knew the server.
        if (m_port == 0)
            m_port = FreePort();
        std::vector<std::string> args;
        if (m_kind == Kind::Pyserial) {
            args = {"/usr/bin/python3", std::string(ZORKIT_TESTS_DIR) + "/link/rfc2217_server.py", "--port",
                    std::to_string(m_port), m_device};
            if (m_refusedBaud)
                args.insert(args.end() - 1, {"--refuse-baud", std::to_string(m_refusedBaud)});
        } else {
            const std::string config = m_scratch.File("ser2net-" + std::to_string(m_port) + ".yaml");
            std::ofstream(config) << "connection: &board\n"
                                  << "  accepter: " << (m_kind == Kind::Ser2netTelnet ? "telnet(rfc2217),tcp(nodelay)" : "tcp(nodelay)")
                                  << ",127.0.0.1," << m_port << "\n"
                                  << "  connector: serialdev," << m_device << ",9600n82,local\n"
                                  // The monitor answers in single bytes: each goes out at once.
                                  << "  options:\n"
                                  << "    chardelay: false\n";
            // -n: stay in the foreground, -d: no syslog; its pid file goes to the scratch folder.
            args = {"/usr/sbin/ser2net", "-n", "-d", "-c", config, "-P", m_scratch.File("ser2net.pid")};
        }
        m_pid = Spawn(args, m_scratch.File("server-" + std::to_string(m_port) + ".log"));
        if (m_pid <= 0) {
            m_error = "cannot start " + args[0];
            return false;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!Listens()) {
            if (std::chrono::steady_clock::now() > deadline || !Running()) {
                m_error = args[0] + " did not listen on port " + std::to_string(m_port);
                return false;
            }
            // No event tells that another process has started listening: look again shortly.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    // Ends the server: its clients see the connection closed.
    void Stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    std::string DeviceName() const
    {
        return std::string(m_kind == Kind::Ser2netRaw ? "tcp" : "rfc2217") + "://127.0.0.1:" + std::to_string(m_port);
    }
    int Port() const { return m_port; }
    const std::string& Error() const { return m_error; }

    // A port nothing listens on (the kernel's choice, given back at once).
    static int FreePort()
    {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
        ::close(fd);
        return ntohs(address.sin_port);
    }

private:
    static pid_t Spawn(const std::vector<std::string>& args, const std::string& logFile)
    {
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        return pid;
    }
    bool Running() const { return ::waitpid(m_pid, nullptr, WNOHANG) == 0; }
    // A connection that is made is a client too: ser2net drops it when it closes.
    bool Listens() const
    {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(std::uint16_t(m_port));
        const bool listens = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return listens;
    }

    Kind m_kind;
    std::string m_device;
    const TempDir& m_scratch;
    int m_refusedBaud;
    int m_port = 0;
    pid_t m_pid = -1;
    std::string m_error;
};
