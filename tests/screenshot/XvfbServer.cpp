#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

extern char** environ;

namespace zorkit::test {
namespace {

pid_t Spawn(std::vector<std::string> args, posix_spawn_file_actions_t* actions)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

int Wait(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What a program writes to its standard output; empty when it fails. The output goes
// through a file, not a pipe: a process the test forks meanwhile (SDL shows message
// boxes from one) would hold a pipe's write end open and the read would never end.
std::string Output(std::vector<std::string> args)
{
    char path[] = "/tmp/zorkit-output-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        return {};
    close(fd);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, path, O_WRONLY | O_TRUNC, 0);
    pid_t pid = Spawn(std::move(args), &actions);
    posix_spawn_file_actions_destroy(&actions);
    bool ok = pid > 0 && Wait(pid) == 0;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unlink(path);
    return ok ? bytes : std::string();
}

std::uint32_t Card32(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// An XWD file (Z format, 24 or 32 bits per pixel) as 0x00RRGGBB pixels. With a 24-bit
// visual xwd packs three bytes per pixel within lines as long as 32-bit ones.
std::shared_ptr<Surface> ReadXwd(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < 100)
        return nullptr;
    auto field = [&](int i) { return Card32(data + 4 * i); };
    std::uint32_t headerSize = field(0), width = field(4), height = field(5), byteOrder = field(7);
    std::uint32_t bitsPerPixel = field(11), bytesPerLine = field(12), colours = field(19);
    std::uint32_t red = field(14), green = field(15), blue = field(16);
    std::size_t start = headerSize + std::size_t(colours) * 12;
    std::uint32_t step = bitsPerPixel / 8;
    if ((step != 3 && step != 4) || bytes.size() < start + std::size_t(bytesPerLine) * height)
        return nullptr;
    auto surface = Surface::Create(int(width), int(height));
    if (!surface)
        return nullptr;
    auto channel = [](std::uint32_t pixel, std::uint32_t mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return (pixel >> shift) & 0xFF;
    };
    for (std::uint32_t y = 0; y < height; ++y) {
        const unsigned char* row = data + start + std::size_t(y) * bytesPerLine;
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = row + step * x;
            std::uint32_t pixel = 0;
            for (std::uint32_t i = 0; i < step; ++i)
                pixel |= std::uint32_t(p[byteOrder ? i : step - 1 - i]) << (8 * (step - 1 - i));
            surface->Row(int(y))[x] = (channel(pixel, red) << 16) | (channel(pixel, green) << 8) | channel(pixel, blue);
        }
    }
    return surface;
}

}

bool HaveProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (std::size_t begin = 0; begin <= dirs.size();) {
        std::size_t end = dirs.find(':', begin);
        if (end == std::string::npos)
            end = dirs.size();
        if (access((dirs.substr(begin, end - begin) + "/" + name).c_str(), X_OK) == 0)
            return true;
        begin = end + 1;
    }
    return false;
}

std::unique_ptr<XvfbServer> XvfbServer::Start(std::string& why, const std::string& screen)
{
    if (!HaveProgram("Xvfb") || !HaveProgram("xwd")) {
        why = "Xvfb or xwd is not installed";
        return nullptr;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        why = "no pipe";
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // Xvfb picks a free display and writes its number to the pipe once it accepts clients.
    pid_t pid = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp"},
                      &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pid > 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{fds[0], POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        char buffer[16];
        ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, std::size_t(got));
        if (number.find('\n') != std::string::npos)
            break;
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        why = "Xvfb did not start";
        if (pid > 0) {
            kill(pid, SIGTERM);
            Wait(pid);
        }
        return nullptr;
    }
    return std::unique_ptr<XvfbServer>(new XvfbServer(pid, ":" + number.substr(0, number.find('\n'))));
}

XvfbServer::~XvfbServer()
{
    kill(m_pid, SIGTERM);
    Wait(m_pid);
}

std::shared_ptr<Surface> XvfbServer::GrabRoot() const
{
    return ReadXwd(Output({"xwd", "-root", "-silent", "-display", m_display}));
}

std::string XvfbServer::ListWindows() const { return Output({"xwininfo", "-root", "-children", "-display", m_display}); }

}
