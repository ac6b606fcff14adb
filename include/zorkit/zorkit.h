// zorkit: everything a host program uses, in one include.
//
//   #include <zorkit/zorkit.h>
//   find_package(zorkit) / target_link_libraries(app PRIVATE zorkit::zorkit)
#pragma once

// The platform layer a host meets: types, strings, messages, ports.
#include "platform/core/CString.h"
#include "platform/core/Geometry.h"
#include "platform/core/HostWindow.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Messaging.h"
#include "platform/core/WinTypes.h"
#include "platform/serial/PortTable.h"

// Subsystem 1: the target link and the control experiments.
#include "link/ZORComm.h"

// Subsystem 2: the 8051 disassembler.
#include "disasm/Disassemble.h"

// Subsystem 4: the text buffer.
#include "editor/TextBuf.h"
