// System colours, metrics and desktop settings, from one settings object that tests
// (and the on-screen backend) may change. Defaults are the classic desktop's.
#pragma once

#include <array>
#include <memory>

#include "zorkit/platform/gdi/GdiTypes.h"

class CBrush;

constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
              COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
              COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11,
              COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15,
              COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19,
              COLOR_BTNHIGHLIGHT = 20, COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23,
              COLOR_INFOBK = 24, COLOR_3DFACE = COLOR_BTNFACE, COLOR_3DSHADOW = COLOR_BTNSHADOW,
              COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT, COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT,
              COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int SYS_COLOR_COUNT = 25;

constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
              SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9,
              SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14,
              SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CYVSCROLL = 20,
              SM_CXHSCROLL = 21, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXFRAME = 32, SM_CYFRAME = 33,
              SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXEDGE = 45, SM_CYEDGE = 46,
              SM_CXDRAG = 68, SM_CYDRAG = 69, SM_MOUSEWHEELPRESENT = 75;
constexpr int SYS_METRIC_COUNT = 76;

constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029, SPI_GETWORKAREA = 0x0030, SPI_GETWHEELSCROLLLINES = 0x0068;

struct NONCLIENTMETRICS {
    UINT cbSize;
    int iBorderWidth;
    int iScrollWidth;
    int iScrollHeight;
    int iCaptionWidth;
    int iCaptionHeight;
    LOGFONT lfCaptionFont;
    int iSmCaptionWidth;
    int iSmCaptionHeight;
    LOGFONT lfSmCaptionFont;
    int iMenuWidth;
    int iMenuHeight;
    LOGFONT lfMenuFont;
    LOGFONT lfStatusFont;
    LOGFONT lfMessageFont;
};

COLORREF GetSysColor(int index);
// A solid brush of the current colour; it stays valid until the colour changes again.
HBRUSH GetSysColorBrush(int index);
int GetSystemMetrics(int index);
// SPI_GETNONCLIENTMETRICS fills a NONCLIENTMETRICS (cbSize set by the caller);
// SPI_GETWHEELSCROLLLINES fills a UINT; SPI_GETWORKAREA fills a RECT with the part of
// the screen a maximised window takes. Other actions fail.
BOOL SystemParametersInfo(UINT action, UINT param, void* data, UINT winIni);

namespace zorkit {

class SystemSettings {
public:
    static SystemSettings& Instance();

    COLORREF Color(int index) const;
    HBRUSH ColorBrush(int index);
    int Metric(int index) const;
    const NONCLIENTMETRICS& NonClientMetrics() const { return m_nonClient; }
    UINT WheelScrollLines() const { return m_wheelScrollLines; }
    UINT DoubleClickTime() const { return m_doubleClickTime; }
    // The screen less the desktop's panels; the whole screen unless a desktop said so.
    CRect WorkArea() const;

    void SetColor(int index, COLORREF colour);
    void SetMetric(int index, int value);
    void SetMessageFont(const LOGFONT& font) { m_nonClient.lfMessageFont = font; }
    void SetWheelScrollLines(UINT lines) { m_wheelScrollLines = lines; }
    void SetDoubleClickTime(UINT milliseconds) { m_doubleClickTime = milliseconds; }
    // An empty rectangle: the whole screen again.
    void SetWorkArea(const CRect& area) { m_workArea = area; }
    // Back to the defaults.
    void Reset();

private:
    SystemSettings();
    ~SystemSettings();
    std::array<COLORREF, SYS_COLOR_COUNT> m_colors{};
    std::array<int, SYS_METRIC_COUNT> m_metrics{};
    std::array<std::unique_ptr<CBrush>, SYS_COLOR_COUNT> m_brushes{};
    NONCLIENTMETRICS m_nonClient{};
    UINT m_wheelScrollLines = 3;
    UINT m_doubleClickTime = 500;
    CRect m_workArea;
};

}
