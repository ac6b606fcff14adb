#include "tests/screenshot/Xdotool.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstring>

extern char** environ;

namespace zorkit::test {

bool RunXdotool(const std::string& display, const std::vector<std::string>& args)
{
    // Our environment with DISPLAY replaced, so the input goes to the private server only.
    std::vector<std::string> env{"DISPLAY=" + display};
    for (char** entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, "DISPLAY=", 8) != 0)
            env.emplace_back(*entry);
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());

    auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> result;
        for (std::string& s : strings)
            result.push_back(s.data());
        result.push_back(nullptr);
        return result;
    };
    std::vector<char*> argvPointers = pointers(argv), envPointers = pointers(env);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argvPointers.data(), envPointers.data()) != 0)
        return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}
