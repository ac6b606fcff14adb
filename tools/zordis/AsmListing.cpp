#include "tools/zordis/AsmListing.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/zordis/AsmWriter.h"
#include "tools/zordis/CodeTracer.h"
#include "tools/zordis/Options.h"

namespace zordis {

namespace {

// Reset, then external 0, timer 0, external 1, timer 1 and serial interrupts.
const unsigned kVectors[] = {0x0000, 0x0003, 0x000B, 0x0013, 0x001B, 0x0023};

} // namespace

int ListAssembly(const tools::CCodeImage& image, const std::vector<unsigned long>& entries, const std::string& title)
{
    CCodeTracer tracer(image);
    for (unsigned vector : kVectors)
        if (image.IsKnown(vector))
            tracer.Trace(vector);
    for (unsigned long entry : entries) {
        if (image.IsKnown(long(entry)))
            tracer.Trace(unsigned(entry));
        else
            std::fprintf(stderr, "zordis: warning: --entry %s holds no byte of the data; not traced\n",
                Hex4(entry).c_str());
    }
    for (const auto& [address, message] : tracer.GetWarnings())
        std::fprintf(stderr, "zordis: warning: %s: %s\n", Hex4(address).c_str(), message.c_str());

    std::string out;
    out.reserve(1 << 20);
    CAsmWriter(image, tracer).Write(title, out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "zordis: cannot write the source: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

}
