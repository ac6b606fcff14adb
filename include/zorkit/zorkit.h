// zorkit: everything a host program uses, in one include.
//
//   #include <zorkit/zorkit.h>
//   find_package(zorkit) / target_link_libraries(app PRIVATE zorkit::zorkit)
#pragma once

// The platform layer a host meets: types, strings, messages, ports.
#include "platform/core/CString.h"
#include "platform/core/CmdTarget.h"
#include "platform/core/Geometry.h"
#include "platform/core/HostWindow.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Messaging.h"
#include "platform/core/RuntimeClass.h"
#include "platform/core/WinTypes.h"
#include "platform/serial/PortTable.h"

// Drawing: device contexts, GDI objects, printing, system colours and metrics.
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/ImageList.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/PngFile.h"
#include "platform/gdi/PrintDC.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/SystemSettings.h"

// Windows: the classes the library's windows derive from and hosts use.
#include "platform/ui/Dialog.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Snapshot.h"
#include "platform/ui/SplitterWnd.h"
#include "platform/ui/View.h"
#include "platform/ui/Wnd.h"
#ifdef ZORKIT_HAS_SDL
#include "platform/sdl/OnScreen.h"
#endif

// The library's resources and the classes hosts create by name.
#include "module/DialogTemplates.h"
#include "module/LibraryImages.h"
#include "module/LibraryResources.h"

// Subsystem 1: the target link and the control experiments.
#include "link/ZORComm.h"

// Subsystem 2: the 8051 disassembler.
#include "disasm/Disassemble.h"

// Subsystem 3: the waveform graph.
#include "graph/Graph.h"

// Subsystem 4: the text buffer.
#include "editor/DeleteUpdateContext.h"
#include "editor/InsertUpdateContext.h"
#include "editor/TextBuf.h"
#include "editor/TextView.h"

// Subsystem 6: the modeless dialog base.
#include "dialogs/Modeless.h"
