// Why a system call failed, for a message: the errors a student meets on files and
// serial devices are worded through Say, their English exactly what the C library
// says in the C locale, so that the command-line tools print what they always did;
// any other error number is the C library's own text.
//
//   return Say("cannot write {1}: {2}", {path, SystemReason(errno)});
#pragma once

#include <string>
#include <system_error>

namespace tools {

std::string SystemReason(int error);
// The same for an operating-system error code; another category's own message.
std::string SystemReason(const std::error_code& error);

}
