#include "zorkit/platform/core/FileInfo.h"

#include <sys/stat.h>
#include <unistd.h>

namespace zorkit {

bool GetFileReadOnly(const char* path, bool& readOnly)
{
    struct stat status;
    if (!path || ::stat(path, &status) != 0)
        return false;
    readOnly = (status.st_mode & 0222) == 0 || ::access(path, W_OK) != 0;
    return true;
}

}
