/* Loaded into sdcdb (LD_PRELOAD) so that it talks to a simulator a test runs for it.
   sdcdb makes its simulator socket non-blocking and reads each answer with whatever
   has arrived a moment after the command: a simulator that takes longer leaves its
   answer to be read as the next command's. Kept blocking, the socket makes sdcdb
   wait for every answer. And it connects to SDCDB_SIMULATOR_PORT, the test's own
   listening port, instead of the fixed one, so that sdcdb starts no simulator of its
   own and two tests cannot meet on one port. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <netinet/in.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

static int IsSocket(int fd)
{
    struct stat status;
    return fstat(fd, &status) == 0 && S_ISSOCK(status.st_mode);
}

int fcntl(int fd, int command, ...)
{
    va_list arguments;
    va_start(arguments, command);
    long argument = va_arg(arguments, long);
    va_end(arguments);
    if (command == F_SETFL && IsSocket(fd))
        argument &= ~(long)(O_NONBLOCK | O_ASYNC);
    return (int)syscall(SYS_fcntl, fd, command, argument);
}

int connect(int fd, const struct sockaddr* address, socklen_t length)
{
    const char* port = getenv("SDCDB_SIMULATOR_PORT");
    if (port && address->sa_family == AF_INET && length >= sizeof(struct sockaddr_in)) {
        struct sockaddr_in to;
        memcpy(&to, address, sizeof to);
        to.sin_port = htons((unsigned short)atoi(port));
        return (int)syscall(SYS_connect, fd, &to, sizeof to);
    }
    return (int)syscall(SYS_connect, fd, address, length);
}
