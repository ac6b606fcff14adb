// A program as a user runs it, for tests: a child process with its three standard
// streams on pipes, or all on one pseudo-terminal for a program that wants a terminal
// (its stderr then arrives in Out()), its output waited for with a patience that only
// failing tests use up.
//
//   CChildProcess s51("/usr/bin/s51", {"-t", "8052", "prog.ihx"});
//   s51.Type("run\n");
//   s51.WaitForOut("Stop at");
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "zorkit/platform/core/FileDescriptor.h"

extern char** environ;

namespace zorkit::test {

using namespace std::chrono_literals;

class CChildProcess {
public:
    enum class Streams { Pipes, Terminal };
    // Where it starts (this process's directory when empty) and the NAME=VALUE
    // settings it gets besides this process's environment.
    struct CSetup {
        std::string directory;
        std::vector<std::string> environment;
    };

    CChildProcess(const std::string& program, const std::vector<std::string>& arguments,
        std::chrono::milliseconds patience = 30s, Streams streams = Streams::Pipes, const CSetup& setup = {})
        : m_patience(patience)
    {
        FileDescriptor terminal;
        int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
        if (streams == Streams::Terminal) {
            terminal = FileDescriptor(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
            if (!terminal.IsValid() || ::grantpt(terminal.Get()) != 0 || ::unlockpt(terminal.Get()) != 0)
                return;
        } else if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        if (terminal.IsValid()) {
            // Its own session, so that the terminal becomes the child's controlling one.
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
            posix_spawn_file_actions_addopen(&actions, 0, ::ptsname(terminal.Get()), O_RDWR, 0);
            posix_spawn_file_actions_adddup2(&actions, 0, 1);
            posix_spawn_file_actions_adddup2(&actions, 0, 2);
        } else {
            posix_spawn_file_actions_adddup2(&actions, in[0], 0);
            posix_spawn_file_actions_adddup2(&actions, out[1], 1);
            posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        }
        if (!setup.directory.empty())
            posix_spawn_file_actions_addchdir_np(&actions, setup.directory.c_str());
        std::vector<std::string> settings = setup.environment;
        for (char** setting = environ; *setting; ++setting) {
            const std::string inherited = *setting;
            const std::string name = inherited.substr(0, inherited.find('=') + 1);
            if (std::none_of(setup.environment.begin(), setup.environment.end(),
                             [&](const std::string& given) { return given.rfind(name, 0) == 0; }))
                settings.push_back(inherited);
        }
        std::vector<char*> envp;
        for (std::string& setting : settings)
            envp.push_back(setting.data());
        envp.push_back(nullptr);
        std::vector<std::string> all{program};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : all)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), &actions, &attributes, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (terminal.IsValid()) {
            m_in = FileDescriptor(::fcntl(terminal.Get(), F_DUPFD_CLOEXEC, 0));
            m_out.fd = std::move(terminal);
            m_err.closed = true;
            return;
        }
        ::close(in[0]);
        ::close(out[1]);
        ::close(err[1]);
        m_in = FileDescriptor(in[1]);
        m_out.fd = FileDescriptor(out[0]);
        m_err.fd = FileDescriptor(err[0]);
    }

    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;
    ~CChildProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    bool Started() const { return m_pid > 0; }
    void Signal(int signal) { ::kill(m_pid, signal); }
    bool Type(const std::string& line) { return ::write(m_in.Get(), line.data(), line.size()) == ssize_t(line.size()); }

    // True once `text` has appeared on stdout (stderr), false when it ends or time runs out first.
    bool WaitForOut(const std::string& text) { return WaitFor(m_out, text); }
    bool WaitForErr(const std::string& text) { return WaitFor(m_err, text); }
    // True once `text` has appeared on stdout at or after offset `from`.
    bool WaitForOutFrom(std::size_t from, const std::string& text)
    {
        return Pump(m_out, [&] { return m_out.text.find(text, from) != std::string::npos; });
    }
    const std::string& Out() const { return m_out.text; }
    const std::string& Err() const { return m_err.text; }

    // Waits for the process to end (its stdout closes); its exit status, or -1.
    int ExitStatus()
    {
        if (!Pump(m_out, [this] { return m_out.closed; }))
            return -1;
        int status = 0;
        if (::waitpid(m_pid, &status, 0) != m_pid)
            return -1;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    struct CStream {
        FileDescriptor fd;
        std::string text;
        bool closed = false;
    };

    // Reads the stream until `done` holds, it closes, or the patience runs out; returns done().
    bool Pump(CStream& stream, const std::function<bool()>& done)
    {
        using Clock = std::chrono::steady_clock;
        Clock::time_point deadline = Clock::now() + m_patience;
        while (!done() && !stream.closed) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd ready{stream.fd.Get(), POLLIN, 0};
            if (left <= 0 || ::poll(&ready, 1, int(left)) <= 0)
                break;
            char chunk[512];
            ssize_t n = ::read(stream.fd.Get(), chunk, sizeof chunk);
            if (n <= 0)
                stream.closed = true;
            else
                stream.text.append(chunk, std::size_t(n));
        }
        return done();
    }

    bool WaitFor(CStream& stream, const std::string& text)
    {
        return Pump(stream, [&] { return stream.text.find(text) != std::string::npos; });
    }

    std::chrono::milliseconds m_patience;
    pid_t m_pid = -1;
    FileDescriptor m_in;
    CStream m_out, m_err;
};

}
