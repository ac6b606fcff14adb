// The link's communication log as a view shows it: the end of ZORCOMM.LOG, decoded
// from GBK to UTF-8, with LF line ends.
#pragma once

#include <cstddef>
#include <string>

namespace zorstudio {

// At most the last `maxBytes` of the file, starting at a whole line; empty when the
// file cannot be read.
std::string ReadCommLog(const std::string& path, std::size_t maxBytes);

}
