#include <array>
#include <cstring>
#include <memory>

#include "zorkit/platform/gdi/internal/GdiObjectData.h"

namespace {

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

std::shared_ptr<zorkit::GdiObjectData> Brush(UINT style, COLORREF colour)
{
    return std::make_shared<zorkit::BrushData>(LOGBRUSH{style, colour, 0});
}

std::shared_ptr<zorkit::GdiObjectData> Pen(int style, COLORREF colour)
{
    return std::make_shared<zorkit::PenData>(LOGPEN{UINT(style), POINT{1, 0}, colour});
}

std::shared_ptr<zorkit::GdiObjectData> Font(const char* face, LONG height)
{
    LOGFONT font{};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return std::make_shared<zorkit::FontData>(font);
}

}

HGDIOBJ GetStockObject(int index)
{
    static const std::array<std::shared_ptr<zorkit::GdiObjectData>, kStockCount> stock = [] {
        std::array<std::shared_ptr<zorkit::GdiObjectData>, kStockCount> table;
        table[WHITE_BRUSH] = Brush(BS_SOLID, RGB(255, 255, 255));
        table[LTGRAY_BRUSH] = Brush(BS_SOLID, RGB(192, 192, 192));
        table[GRAY_BRUSH] = Brush(BS_SOLID, RGB(128, 128, 128));
        table[DKGRAY_BRUSH] = Brush(BS_SOLID, RGB(64, 64, 64));
        table[BLACK_BRUSH] = Brush(BS_SOLID, RGB(0, 0, 0));
        table[NULL_BRUSH] = Brush(BS_NULL, 0);
        table[WHITE_PEN] = Pen(PS_SOLID, RGB(255, 255, 255));
        table[BLACK_PEN] = Pen(PS_SOLID, RGB(0, 0, 0));
        table[NULL_PEN] = Pen(PS_NULL, 0);
        table[OEM_FIXED_FONT] = Font("FixedSys", 0);
        table[ANSI_FIXED_FONT] = Font("FixedSys", 0);
        table[ANSI_VAR_FONT] = Font("MS Sans Serif", -11);
        table[SYSTEM_FONT] = Font("System", 16);
        table[DEVICE_DEFAULT_FONT] = Font("System", 16);
        table[SYSTEM_FIXED_FONT] = Font("FixedSys", 0);
        table[DEFAULT_GUI_FONT] = Font("MS Shell Dlg", -11);
        return table;
    }();
    return index >= 0 && index < kStockCount ? stock[std::size_t(index)].get() : nullptr;
}
