#include "tools/common/SystemReason.h"

#include <cerrno>
#include <cstring>

#include "tools/common/Wording.h"

namespace tools {

std::string SystemReason(int error)
{
    switch (error) {
    case ENOENT: return Say("No such file or directory");
    case EACCES: return Say("Permission denied");
    case EPERM: return Say("Operation not permitted");
    case EISDIR: return Say("Is a directory");
    case ENOTDIR: return Say("Not a directory");
    case ENOTEMPTY: return Say("Directory not empty");
    case EEXIST: return Say("File exists");
    case ENAMETOOLONG: return Say("File name too long");
    case ELOOP: return Say("Too many levels of symbolic links");
    case ENOSPC: return Say("No space left on device");
    case EDQUOT: return Say("Disk quota exceeded");
    case EFBIG: return Say("File too large");
    case EROFS: return Say("Read-only file system");
    case EBUSY: return Say("Device or resource busy");
    case ETXTBSY: return Say("Text file busy");
    case ENODEV: return Say("No such device");
    case ENXIO: return Say("No such device or address");
    case ENOTTY: return Say("Inappropriate ioctl for device");
    case EIO: return Say("Input/output error");
    case EAGAIN: return Say("Resource temporarily unavailable");
    case EMFILE: return Say("Too many open files");
    case ENFILE: return Say("Too many open files in system");
    case ENOMEM: return Say("Cannot allocate memory");
    case EINVAL: return Say("Invalid argument");
    case EPIPE: return Say("Broken pipe");
    default: return std::strerror(error);
    }
}

std::string SystemReason(const std::error_code& error)
{
    if (error.category() == std::generic_category() || error.category() == std::system_category())
        return SystemReason(error.value());
    return error.message();
}

}
