// zorlink control: a closed-loop experiment run against the board.
#pragma once

#include "tools/zorlink/Command.h"

namespace zorlink {

CommandResult RunControl(CLinkSession& session, const Arguments& args);

}
