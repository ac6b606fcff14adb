// The framework's resource exception: thrown when a window class or another resource
// the library cannot work without cannot be made. The one exception that crosses the
// library's boundary.
#pragma once

#include "zorkit/platform/core/RuntimeClass.h"

class CResourceException : public CObject {
public:
    // Frees an exception the handler caught by pointer.
    void Delete() { delete this; }
};

[[noreturn]] inline void AfxThrowResourceException() { throw new CResourceException; }
