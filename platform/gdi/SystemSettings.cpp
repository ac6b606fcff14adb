#include "zorkit/platform/gdi/SystemSettings.h"

#include <cstring>

#include "zorkit/platform/gdi/Brush.h"

namespace zorkit {
namespace {

// The classic desktop colours, by COLOR_ index.
constexpr COLORREF kColors[SYS_COLOR_COUNT] = {
    RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128), RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(192, 192, 192), RGB(192, 192, 192), RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255),
    RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(223, 223, 223), RGB(0, 0, 0),       RGB(255, 255, 225),
};

struct MetricDefault {
    int index;
    int value;
};
constexpr MetricDefault kMetrics[] = {
    {SM_CXSCREEN, 1024}, {SM_CYSCREEN, 768}, {SM_CXVSCROLL, 16},  {SM_CYHSCROLL, 16},  {SM_CYCAPTION, 19},
    {SM_CXBORDER, 1},    {SM_CYBORDER, 1},   {SM_CXDLGFRAME, 3},  {SM_CYDLGFRAME, 3},  {SM_CYVTHUMB, 16},
    {SM_CXHTHUMB, 16},   {SM_CXICON, 32},    {SM_CYICON, 32},     {SM_CXCURSOR, 32},   {SM_CYCURSOR, 32},
    {SM_CYMENU, 19},     {SM_CXFULLSCREEN, 1024}, {SM_CYFULLSCREEN, 749}, {SM_CYVSCROLL, 16},
    {SM_CXHSCROLL, 16},  {SM_CXMIN, 112},    {SM_CYMIN, 27},      {SM_CXFRAME, 4},     {SM_CYFRAME, 4},
    {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4}, {SM_CXEDGE, 2},     {SM_CYEDGE, 2},      {SM_CXDRAG, 4},
    {SM_CYDRAG, 4},      {SM_MOUSEWHEELPRESENT, 1},
};

LOGFONT Font(const char* face, LONG height, LONG weight)
{
    LOGFONT font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

}

SystemSettings& SystemSettings::Instance()
{
    static SystemSettings settings;
    return settings;
}

SystemSettings::SystemSettings()
{
    Reset();
}

SystemSettings::~SystemSettings() = default;

void SystemSettings::Reset()
{
    for (int i = 0; i < SYS_COLOR_COUNT; ++i)
        SetColor(i, kColors[i]);
    m_metrics.fill(0);
    for (const MetricDefault& metric : kMetrics)
        m_metrics[std::size_t(metric.index)] = metric.value;
    m_nonClient = NONCLIENTMETRICS{};
    m_nonClient.cbSize = sizeof(NONCLIENTMETRICS);
    m_nonClient.iBorderWidth = 1;
    m_nonClient.iScrollWidth = 16;
    m_nonClient.iScrollHeight = 16;
    m_nonClient.iCaptionWidth = 18;
    m_nonClient.iCaptionHeight = 18;
    m_nonClient.lfCaptionFont = Font("Arial", -12, FW_BOLD);
    m_nonClient.iSmCaptionWidth = 12;
    m_nonClient.iSmCaptionHeight = 15;
    m_nonClient.lfSmCaptionFont = Font("Arial", -12, FW_BOLD);
    m_nonClient.iMenuWidth = 18;
    m_nonClient.iMenuHeight = 18;
    m_nonClient.lfMenuFont = Font("Arial", -12, FW_NORMAL);
    m_nonClient.lfStatusFont = Font("Arial", -12, FW_NORMAL);
    m_nonClient.lfMessageFont = Font("Arial", -12, FW_NORMAL);
    m_wheelScrollLines = 3;
    m_doubleClickTime = 500;
    m_workArea = CRect();
}

COLORREF SystemSettings::Color(int index) const
{
    return index >= 0 && index < SYS_COLOR_COUNT ? m_colors[std::size_t(index)] : 0;
}

HBRUSH SystemSettings::ColorBrush(int index)
{
    if (index < 0 || index >= SYS_COLOR_COUNT)
        return nullptr;
    return *m_brushes[std::size_t(index)];
}

int SystemSettings::Metric(int index) const
{
    return index >= 0 && index < SYS_METRIC_COUNT ? m_metrics[std::size_t(index)] : 0;
}

void SystemSettings::SetColor(int index, COLORREF colour)
{
    if (index < 0 || index >= SYS_COLOR_COUNT)
        return;
    m_colors[std::size_t(index)] = colour;
    // A new brush: DCs that still select the old one keep it alive.
    m_brushes[std::size_t(index)] = std::make_unique<CBrush>(colour);
}

CRect SystemSettings::WorkArea() const
{
    return m_workArea.IsRectEmpty() ? CRect(0, 0, Metric(SM_CXSCREEN), Metric(SM_CYSCREEN)) : m_workArea;
}

void SystemSettings::SetMetric(int index, int value)
{
    if (index >= 0 && index < SYS_METRIC_COUNT)
        m_metrics[std::size_t(index)] = value;
}

}

COLORREF GetSysColor(int index)
{
    return zorkit::SystemSettings::Instance().Color(index);
}

HBRUSH GetSysColorBrush(int index)
{
    return zorkit::SystemSettings::Instance().ColorBrush(index);
}

int GetSystemMetrics(int index)
{
    return zorkit::SystemSettings::Instance().Metric(index);
}

BOOL SystemParametersInfo(UINT action, UINT, void* data, UINT)
{
    const auto& settings = zorkit::SystemSettings::Instance();
    if (!data)
        return FALSE;
    switch (action) {
    case SPI_GETNONCLIENTMETRICS: {
        auto* metrics = static_cast<NONCLIENTMETRICS*>(data);
        if (metrics->cbSize != sizeof(NONCLIENTMETRICS))
            return FALSE;
        *metrics = settings.NonClientMetrics();
        return TRUE;
    }
    case SPI_GETWHEELSCROLLLINES:
        *static_cast<UINT*>(data) = settings.WheelScrollLines();
        return TRUE;
    case SPI_GETWORKAREA:
        *static_cast<RECT*>(data) = settings.WorkArea();
        return TRUE;
    default:
        return FALSE;
    }
}
