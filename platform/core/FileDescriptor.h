// A move-only owner of a POSIX file descriptor; a moved-from owner holds -1.
#pragma once

#include <utility>

namespace zorkit {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsValid() const { return m_fd >= 0; }
    int Release() { return std::exchange(m_fd, -1); }
    // Closes the descriptor; false when close() reported an error.
    bool Reset();

private:
    int m_fd = -1;
};

// An eventfd used to wake a poll() from another thread.
class WakeEvent {
public:
    WakeEvent();
    int Fd() const { return m_fd.Get(); }
    // Why the eventfd could not be made (an errno); 0 when Fd() is valid.
    int CreationError() const { return m_creationError; }
    void Signal();
    // Consumes pending signals; true when there were any.
    bool Drain();

private:
    FileDescriptor m_fd;
    int m_creationError = 0;
};

}
