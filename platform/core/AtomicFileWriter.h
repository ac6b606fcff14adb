// Writes a file so that a failed save never destroys the previous one: the bytes go to
// a temporary file beside the target, which is flushed to disk and renamed over the
// target only when everything was written. The replacement keeps the target's
// permission bits (and its group and owner where allowed); a symbolic link is kept and
// its target replaced. Devices, pipes and targets in a directory where no temporary
// can be created are written in place instead, every write still checked.
//
//   zorkit::AtomicFileWriter out;
//   bool saved = out.Open(path) && out.Write(bytes, count) && out.Commit();
//
// An uncommitted temporary is removed when the writer is destroyed.
#pragma once

#include <cstddef>
#include <string>

#include "zorkit/platform/core/FileDescriptor.h"

namespace zorkit {

class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False when the target exists but is read-only (see FileInfo.h) or cannot be written.
    bool Open(const char* path);
    // All count bytes or false; after a failure the writer only refuses.
    bool Write(const void* bytes, std::size_t count);
    // Flushes and closes, then puts the new file in place; false leaves the previous file.
    bool Commit();

private:
    void Discard();

    FileDescriptor m_fd;
    std::string m_target;
    std::string m_temporary; // empty when writing in place
    bool m_failed = false;
};

}
