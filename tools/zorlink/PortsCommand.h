// zorlink ports: the serial devices of this machine, as a user looking for the board needs them.
#pragma once

#include "tools/zorlink/Command.h"

namespace zorlink {

CommandResult ListPorts(CLinkSession& session, const Arguments& args);

}
