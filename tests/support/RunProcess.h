// Runs a program to its end with its output in files, as a shell would:
//
//   int status = RunProcess({"/usr/bin/sdas8051", "-o", "x.rel", "x.asm"}, dir.File("out"), dir.File("err"));
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

// Runs the program at path args[0] with args; stdout and stderr go to the files
// outFile and errFile. Returns the exit status, or -1 when it could not run or was
// killed by a signal.
inline int RunProcess(const std::vector<std::string>& args, const std::string& outFile, const std::string& errFile)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int outFd = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
