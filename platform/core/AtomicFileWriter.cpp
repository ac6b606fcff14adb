#include "zorkit/platform/core/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "zorkit/platform/core/FileInfo.h"

namespace zorkit {
namespace {

std::atomic<unsigned> g_serial{0};

std::string DirectoryOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save must replace: a symbolic link is followed so that the link survives.
std::string ResolvedTarget(const char* path)
{
    char resolved[PATH_MAX];
    return ::realpath(path, resolved) ? std::string(resolved) : std::string(path);
}

// A new, unique file beside target. Created with mode 0666 so that the umask and any
// default ACL of the directory apply to a file that did not exist before.
FileDescriptor CreateTemporary(const std::string& target, std::string& name)
{
    std::string stem = DirectoryOf(target) + "/." + NameOf(target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + std::to_string(::getpid()) + "-" + std::to_string(g_serial++) + ".tmp";
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return FileDescriptor(fd);
        if (errno != EEXIST)
            break;
    }
    name.clear();
    return FileDescriptor();
}

}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

bool AtomicFileWriter::Open(const char* path)
{
    Discard();
    m_failed = false;
    if (!path || !*path)
        return false;
    struct stat existing;
    bool exists = ::stat(path, &existing) == 0;
    if (!exists && errno != ENOENT)
        return false;
    bool readOnly = false;
    if (exists && (!GetFileReadOnly(path, readOnly) || readOnly))
        return false;

    m_target = exists ? ResolvedTarget(path) : std::string(path);
    if (!exists || S_ISREG(existing.st_mode)) {
        m_fd = CreateTemporary(m_target, m_temporary);
        if (m_fd.IsValid() && exists) {
            // An ordinary user may not give the file away (EPERM): it then stays ours. The
            // mode is set last because a change of owner clears the set-id bits.
            bool owned = ::fchown(m_fd.Get(), existing.st_uid, existing.st_gid) == 0 || errno == EPERM;
            if (!owned || ::fchmod(m_fd.Get(), existing.st_mode & 07777) != 0) {
                Discard();
                return false;
            }
        }
        if (m_fd.IsValid())
            return true;
    }
    int fd = ::open(m_target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    m_fd = FileDescriptor(fd);
    return true;
}

bool AtomicFileWriter::Write(const void* bytes, std::size_t count)
{
    if (m_failed || !m_fd.IsValid())
        return false;
    const char* at = static_cast<const char*>(bytes);
    while (count > 0) {
        ssize_t wrote = ::write(m_fd.Get(), at, count);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            m_failed = true;
            return false;
        }
        at += wrote;
        count -= std::size_t(wrote);
    }
    return true;
}

bool AtomicFileWriter::Commit()
{
    if (m_failed || !m_fd.IsValid()) {
        Discard();
        return false;
    }
    if (m_temporary.empty())
        return m_fd.Reset();
    // Without the flush a crash right after the rename could leave an empty file.
    bool flushed = ::fsync(m_fd.Get()) == 0 || errno == EINVAL;
    if (!m_fd.Reset() || !flushed || ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        Discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void AtomicFileWriter::Discard()
{
    m_fd.Reset();
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

}
