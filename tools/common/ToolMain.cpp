#include "tools/common/ToolMain.h"

#include <cstdio>
#include <exception>
#include <new>

#include "tools/common/Wording.h"

namespace tools {

int RunTool(const char* name, int (*body)(int argc, char** argv), int argc, char** argv)
{
    try {
        return body(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: %s\n", name, Say("out of memory").c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", name, error.what());
    } catch (...) {
        std::fprintf(stderr, "%s: %s\n", name, Say("stopped by an unexpected error").c_str());
    }
    return 1;
}

}
