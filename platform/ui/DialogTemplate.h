// Dialog template resources: what a dialog box is made from. A template gives the
// dialog's caption, styles, font and size, and its controls, all placed in dialog
// units (a quarter of the font's average character width, an eighth of its height).
// Libraries register their templates by id at load time; CDialog creates from them.
//
//   zorkit::DialogTemplate t{WS_POPUP | DS_CENTER, 0, "Title", "System", 10, CRect(0, 0, 120, 40), {
//       {"STATIC", "Hello", IDC_STATIC, WS_VISIBLE | SS_CENTER, CRect(4, 4, 116, 14)},
//       {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, CRect(40, 20, 80, 34)}}};
//   zorkit::RegisterDialogTemplate(100, std::move(t));
#pragma once

#include <string>
#include <vector>

#include "zorkit/platform/core/Geometry.h"

constexpr int IDC_STATIC = -1;

namespace zorkit {

struct DialogItemTemplate {
    std::string className;  // "STATIC", "BUTTON", "EDIT" or any registered class
    std::string text;       // GBK
    int id;
    DWORD style;            // WS_CHILD is implied
    CRect rect;             // left, top, right, bottom in dialog units
    DWORD exStyle = 0;
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    std::string caption;   // GBK
    std::string fontName;
    int pointSize;
    CRect rect;            // dialog units; the position (within the owner) counts unless DS_CENTER
    std::vector<DialogItemTemplate> items;
};

// Registers (or replaces) template `id`.
void RegisterDialogTemplate(UINT id, DialogTemplate dialogTemplate);
void UnregisterDialogTemplate(UINT id);
// The registered template, or null; valid until the id is registered again or removed.
const DialogTemplate* FindDialogTemplate(UINT id);

}
