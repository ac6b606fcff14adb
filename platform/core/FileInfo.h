// What the library asks of a file's status beyond opening it.
#pragma once

namespace zorkit {

// Sets readOnly when the file has no write permission bit at all or this process may not
// write it (the closest thing to a read-only attribute: a 0444 file counts even for root).
// False when the file's status cannot be read.
bool GetFileReadOnly(const char* path, bool& readOnly);

}
