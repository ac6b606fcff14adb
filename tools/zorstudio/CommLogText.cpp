#include "tools/zorstudio/CommLogText.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "zorkit/platform/core/Gbk.h"

namespace zorstudio {

std::string ReadCommLog(const std::string& path, std::size_t maxBytes)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    const std::streamoff size = in.tellg();
    const std::streamoff from = std::max<std::streamoff>(0, size - std::streamoff(maxBytes));
    in.seekg(from);
    std::string gbk(std::istreambuf_iterator<char>(in), {});
    // A cut inside the file may fall inside a two-byte character: begin after the
    // first line end instead, which no GBK character contains.
    if (from > 0) {
        const std::size_t end = gbk.find('\n');
        gbk.erase(0, end == std::string::npos ? gbk.size() : end + 1);
    }
    gbk.erase(std::remove(gbk.begin(), gbk.end(), '\r'), gbk.end());
    return zorkit::Utf8FromGbk(gbk);
}

}
