// zorkit: everything a host program uses, in one include.
//
//   #include <zorkit/zorkit.h>
//   find_package(zorkit) / target_link_libraries(app PRIVATE zorkit::zorkit)
#pragma once

// The platform layer a host meets: types, strings, messages, ports.
#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/core/CmdTarget.h"
#include "zorkit/platform/core/Geometry.h"
#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/core/RuntimeClass.h"
#include "zorkit/platform/core/WinTypes.h"
#include "zorkit/platform/serial/PortTable.h"

// Drawing: device contexts, GDI objects, printing, system colours and metrics.
#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/ImageList.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/gdi/PngFile.h"
#include "zorkit/platform/gdi/PrintDC.h"
#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/gdi/SystemSettings.h"

// Windows: the classes the library's windows derive from and hosts use.
#include "zorkit/platform/ui/Dialog.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/MessageLoop.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "zorkit/platform/ui/SplitterBar.h"
#include "zorkit/platform/ui/SplitterWnd.h"
#include "zorkit/platform/ui/View.h"
#include "zorkit/platform/ui/Wnd.h"
#ifdef ZORKIT_HAS_SDL
#include "zorkit/platform/sdl/OnScreen.h"
#endif

// The library's resources and the classes hosts create by name.
#include "zorkit/module/DialogTemplates.h"
#include "zorkit/module/LibraryImages.h"
#include "zorkit/module/LibraryResources.h"

// Subsystem 1: the target link and the control experiments.
#include "zorkit/link/ZORComm.h"

// Subsystem 2: the 8051 disassembler.
#include "zorkit/disasm/Disassemble.h"

// Subsystem 3: the waveform graph.
#include "zorkit/graph/Graph.h"

// Subsystem 4: the text buffer and its views.
#include "zorkit/editor/DeleteUpdateContext.h"
#include "zorkit/editor/InsertUpdateContext.h"
#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/TextView.h"
#include "zorkit/editor/UIEditView.h"

// Subsystem 5: the grid control.
#include "zorkit/grid/BufferedDC.h"
#include "zorkit/grid/CellID.h"
#include "zorkit/grid/GridCell.h"
#include "zorkit/grid/GridCellEditor.h"
#include "zorkit/grid/GridCtrl.h"
#include "zorkit/grid/GridTitleTip.h"

// Subsystem 6: the modeless dialog base.
#include "zorkit/dialogs/Modeless.h"
