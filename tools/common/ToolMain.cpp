#include "tools/common/ToolMain.h"

#include <cstdio>
#include <exception>
#include <new>

namespace tools {

int RunTool(const char* name, int (*body)(int argc, char** argv), int argc, char** argv)
{
    try {
        return body(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", name);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", name, error.what());
    } catch (...) {
        std::fprintf(stderr, "%s: stopped by an unexpected error\n", name);
    }
    return 1;
}

}
