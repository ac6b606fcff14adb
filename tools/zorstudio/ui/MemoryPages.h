// The memory grid and the page it shows: the internal RAM or a page of the external
// memory from the address in the field after the XDATA button (Enter takes it). The
// XDATA button switches between the two; an edited byte is written to the board and
// read back.
//
//   CMemoryPages memory(window, requests);
//   memory.Create(guiFont);
//   memory.ShowExternalPage(0x2000);
#pragma once

#include "tools/zorstudio/ui/MemoryGrid.h"
#include "tools/zorstudio/ui/StudioRequests.h"

namespace zorstudio {

class CMemoryPages {
public:
    CMemoryPages(CWnd& window, CStudioRequests& requests);
    CMemoryPages(const CMemoryPages&) = delete;
    CMemoryPages& operator=(const CMemoryPages&) = delete;

    // Creates the grid and the page field in the window.
    bool Create(CFont* font);
    CMemoryGrid& Grid() { return m_grid; }
    CWnd& PageField() { return m_pageField; }
    MemoryKind Page() const { return m_page; }

    // Shows the page as the board thread last read it.
    void Show();
    // Switches the grid between the internal RAM and the external page.
    void TogglePage();
    // Shows the external page from the address typed in the field.
    bool ShowTypedExternalPage();
    // Shows the external page from address, read from the board at once when it is
    // stopped, else at the next stop.
    bool ShowExternalPage(WORD address);

private:
    bool Write(WORD address, BYTE value);

    CWnd& m_window;
    CStudioRequests& m_requests;
    CMemoryGrid m_grid;
    CWnd m_pageField;
    MemoryKind m_page = MemoryKind::Internal;
};

}
