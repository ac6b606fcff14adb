// An owner for a C stdio stream: the stream is closed when its owner goes.
//
//   zorkit::StdioFile file(std::fopen(path, "rb"));
//   if (!file) ...
//   std::fread(buffer, 1, n, file.get());
#pragma once

#include <cstdio>
#include <memory>

namespace zorkit {

struct StdioFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;

}
