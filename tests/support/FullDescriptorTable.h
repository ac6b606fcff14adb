// Every file descriptor the process may open taken, for the scope of a test: the next
// open, eventfd or posix_openpt fails with EMFILE, as in a process that leaks them.
// The limit is lowered first, so that filling the table is quick, and put back after.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

class FullDescriptorTable {
public:
    FullDescriptorTable()
    {
        ::getrlimit(RLIMIT_NOFILE, &m_limit);
        rlimit lowered = m_limit;
        lowered.rlim_cur = std::min<rlim_t>(m_limit.rlim_cur, kEnough);
        ::setrlimit(RLIMIT_NOFILE, &lowered);
        for (int fd; (fd = ::dup(STDERR_FILENO)) >= 0;)
            m_taken.push_back(fd);
    }
    ~FullDescriptorTable()
    {
        for (int fd : m_taken)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &m_limit);
    }
    FullDescriptorTable(const FullDescriptorTable&) = delete;
    FullDescriptorTable& operator=(const FullDescriptorTable&) = delete;

private:
    // Above what a test process holds open; the table is full below it either way.
    static constexpr rlim_t kEnough = 512;
    rlimit m_limit{};
    std::vector<int> m_taken;
};
