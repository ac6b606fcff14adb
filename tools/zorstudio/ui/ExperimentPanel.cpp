#include "tools/zorstudio/ui/ExperimentPanel.h"

#include <cstdio>
#include <cstdlib>

#include "tools/common/Numbers.h"
#include "tools/zorstudio/ExperimentExport.h"
#include "tools/zorstudio/Translation.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/DialogTemplate.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Styles.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorstudio {
namespace {

constexpr int kMargin = 8;
constexpr int kLabelWidth = 72;
constexpr int kFieldWidth = 96;
constexpr int kRowHeight = 30;
constexpr int kControlHeight = 24;
constexpr int kGraphLeft = kMargin * 3 + kLabelWidth + kFieldWidth;
constexpr int kFiguresGap = 12;

struct FieldRow {
    UINT id;
    const char* label;
};
constexpr FieldRow kFields[] = {
    {CExperimentPanel::IdSetPoint, N_("Set point")}, {CExperimentPanel::IdKp, "Kp"},
    {CExperimentPanel::IdKi, "Ki"},                 {CExperimentPanel::IdKd, "Kd"},
    {CExperimentPanel::IdPeriod, N_("Period ms")},  {CExperimentPanel::IdSamples, N_("Samples")},
};

const char* KindName(ExperimentKind kind)
{
    switch (kind) {
    case ExperimentKind::Speed: return N_("Speed");
    case ExperimentKind::Stepper: return N_("Stepper");
    default: return N_("Temperature");
    }
}

const char* DirectionName(bool clockwise) { return clockwise ? N_("clockwise") : N_("counter-clockwise"); }

const char* FileStem(ExperimentKind kind)
{
    switch (kind) {
    case ExperimentKind::Speed: return "speed";
    case ExperimentKind::Stepper: return "stepper";
    default: return "temperature";
    }
}

const char* Unit(ExperimentKind kind) { return kind == ExperimentKind::Temperature ? " °C" : ""; }

std::string FormatNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string WindowText(const CWnd& wnd)
{
    CString text;
    wnd.GetWindowText(text);
    return text.str();
}

}

CExperimentPanel::CExperimentPanel(CBoardThread& board) : m_board(board) {}

CExperimentPanel::~CExperimentPanel()
{
    // The graph belongs to the panel's record; its window goes with the panel.
    if (CWnd* graph = GraphWindow())
        graph->DestroyWindow();
}

const CMessageMap* CExperimentPanel::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CExperimentPanel::OnPaint),
        zorkit::MapCommand(IdKind, &CExperimentPanel::OnKind),
        zorkit::MapCommand(IdDirection, &CExperimentPanel::OnDirection),
        zorkit::MapCommand(IdStart, &CExperimentPanel::OnStart),
        zorkit::MapCommand(IdStop, &CExperimentPanel::OnStop),
        zorkit::MapCommand(IdExportPng, &CExperimentPanel::OnExportPng),
        zorkit::MapCommand(IdExportPdf, &CExperimentPanel::OnExportPdf),
        zorkit::MapCommand(IdExportCsv, &CExperimentPanel::OnExportCsv),
    });
    return &map;
}

const CMessageMap* CExperimentPanel::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CExperimentPanel::Create(CWnd* parent, const CRect& rect, UINT id)
{
    static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, rect, parent, id))
        return FALSE;
    auto add = [&](LPCTSTR className, LPCTSTR text, DWORD style, const CRect& place, UINT controlId) {
        auto control = std::make_unique<CWnd>();
        if (!control->CreateEx(0, className, TrGbk(text).c_str(), WS_CHILD | WS_VISIBLE | style, place, this, controlId))
            return false;
        control->SetFont(CFont::FromHandle(HFONT(GetStockObject(DEFAULT_GUI_FONT))));
        m_controls.push_back(std::move(control));
        return true;
    };
    const int fieldLeft = kMargin * 2 + kLabelWidth;
    bool made = add("STATIC", N_("Kind"), SS_LEFT, CRect(kMargin, kMargin + 4, kMargin + kLabelWidth, kMargin + kControlHeight), UINT(IDC_STATIC)) &&
                add("BUTTON", "", WS_TABSTOP | BS_PUSHBUTTON, CRect(fieldLeft, kMargin, fieldLeft + kFieldWidth, kMargin + kControlHeight), IdKind);
    int top = kMargin + kRowHeight;
    // The stepper's direction, beneath its kind; hidden for the other kinds.
    made = made && add("STATIC", N_("Direction"), SS_LEFT, CRect(kMargin, top + 4, kMargin + kLabelWidth, top + kControlHeight), UINT(IDC_STATIC));
    if (made)
        m_directionLabel = m_controls.back().get();
    made = made && add("BUTTON", "", WS_TABSTOP | BS_PUSHBUTTON, CRect(fieldLeft, top, fieldLeft + kFieldWidth, top + kControlHeight), IdDirection);
    top += kRowHeight;
    for (const FieldRow& field : kFields) {
        made = made &&
               add("STATIC", field.label, SS_LEFT, CRect(kMargin, top + 4, kMargin + kLabelWidth, top + kControlHeight), UINT(IDC_STATIC)) &&
               add("EDIT", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, CRect(fieldLeft, top, fieldLeft + kFieldWidth, top + kControlHeight), field.id);
        top += kRowHeight;
    }
    const int half = (kLabelWidth + kFieldWidth + kMargin) / 2;
    made = made && add("BUTTON", N_("Start"), WS_TABSTOP | BS_PUSHBUTTON, CRect(kMargin, top, kMargin + half - 2, top + kControlHeight), IdStart) &&
           add("BUTTON", N_("Stop"), WS_TABSTOP | BS_PUSHBUTTON, CRect(kMargin + half + 2, top, kMargin + 2 * half, top + kControlHeight), IdStop);
    top += kRowHeight;
    const int third = (2 * half) / 3;
    made = made && add("BUTTON", "PNG", WS_TABSTOP | BS_PUSHBUTTON, CRect(kMargin, top, kMargin + third - 2, top + kControlHeight), IdExportPng) &&
           add("BUTTON", "PDF", WS_TABSTOP | BS_PUSHBUTTON, CRect(kMargin + third, top, kMargin + 2 * third - 2, top + kControlHeight), IdExportPdf) &&
           add("BUTTON", "CSV", WS_TABSTOP | BS_PUSHBUTTON, CRect(kMargin + 2 * third, top, kMargin + 2 * half, top + kControlHeight), IdExportCsv);
    const CRect graph = GraphRect();
    CRect client;
    GetClientRect(&client);
    made = made && add("STATIC", "", SS_LEFT, CRect(graph.right + kFiguresGap, kMargin, client.right - kMargin, graph.bottom), IdFigures);
    if (!made)
        return FALSE;
    SetKind(m_kind);
    return TRUE;
}

CRect CExperimentPanel::GraphRect() const
{
    return CRect(kGraphLeft, kMargin, kGraphLeft + CExperimentPicture::kWidth, kMargin + CExperimentPicture::kHeight);
}

void CExperimentPanel::SetKind(ExperimentKind kind)
{
    m_kind = kind;
    ShowSetup(DefaultSetup(kind));
}

void CExperimentPanel::SetClockwise(bool clockwise)
{
    m_clockwise = clockwise;
    GetDlgItem(IdDirection)->SetWindowText(TrGbk(DirectionName(clockwise)).c_str());
}

void CExperimentPanel::ShowSetup(const CExperimentSetup& setup)
{
    GetDlgItem(IdKind)->SetWindowText(TrGbk(KindName(setup.kind)).c_str());
    SetClockwise(setup.clockwise);
    const int shown = setup.kind == ExperimentKind::Stepper ? SW_SHOW : SW_HIDE;
    GetDlgItem(IdDirection)->ShowWindow(shown);
    m_directionLabel->ShowWindow(shown);
    GetDlgItem(IdSetPoint)->SetWindowText(std::to_string(setup.setPoint).c_str());
    GetDlgItem(IdKp)->SetWindowText(FormatNumber(setup.kp).c_str());
    GetDlgItem(IdKi)->SetWindowText(FormatNumber(setup.ki).c_str());
    GetDlgItem(IdKd)->SetWindowText(FormatNumber(setup.kd).c_str());
    GetDlgItem(IdPeriod)->SetWindowText(std::to_string(setup.period).c_str());
    GetDlgItem(IdSamples)->SetWindowText(std::to_string(setup.samples).c_str());
}

std::optional<CExperimentSetup> CExperimentPanel::ReadSetup()
{
    CExperimentSetup setup = DefaultSetup(m_kind);
    setup.clockwise = m_clockwise;
    auto whole = [&](UINT id, const char* name, int& out) {
        const std::string text = WindowText(*GetDlgItem(int(id)));
        const std::optional<std::uint32_t> value = tools::ParseDecimal(text, 1000000);
        if (!value) {
            Tell(Tr("{1} takes a whole number, not '{2}'", {Tr(name), text}));
            return false;
        }
        out = int(*value);
        return true;
    };
    auto number = [&](UINT id, const char* name, float& out) {
        const std::string text = WindowText(*GetDlgItem(int(id)));
        char* end = nullptr;
        const float value = std::strtof(text.c_str(), &end);
        if (text.empty() || *end != '\0') {
            Tell(Tr("{1} takes a number, not '{2}'", {Tr(name), text}));
            return false;
        }
        out = value;
        return true;
    };
    if (!whole(IdSetPoint, N_("the set point"), setup.setPoint) || !number(IdKp, "Kp", setup.kp) ||
        !number(IdKi, "Ki", setup.ki) || !number(IdKd, "Kd", setup.kd) ||
        !whole(IdPeriod, N_("the period"), setup.period) || !whole(IdSamples, N_("the sample count"), setup.samples))
        return std::nullopt;
    if (const auto problem = CheckSetup(setup)) {
        Tell(Tr(problem->c_str()));
        return std::nullopt;
    }
    return setup;
}

CWnd* CExperimentPanel::GraphWindow()
{
    CExperimentRecord* record = m_record.get();
    if (!record || !record->Picture())
        return nullptr;
    CGraph& graph = record->Picture()->Graph();
    return graph.m_hWnd ? &graph : nullptr;
}

bool CExperimentPanel::Start()
{
    const auto setup = ReadSetup();
    if (!setup)
        return false;
    if (m_running) {
        Tell(Tr("the line is busy: {1}", {Tr("control experiment")}));
        return false;
    }
    if (CWnd* graph = GraphWindow())
        graph->DestroyWindow();
    // The board thread keeps the session's record; this one is the window's copy, fed
    // with every sample as it arrives.
    m_record = std::make_unique<CExperimentRecord>(*setup);
    CExperimentRecord* record = m_record.get();
    m_running = true;
    m_started = false;
    m_stopAsked = false;
    m_figures.clear();
    GetDlgItem(IdFigures)->SetWindowText("");
    m_board.Post([this, record, setup = *setup](CDebugSession& s) -> CBoardThread::Reply {
        const bool ok = s.StartExperiment(setup, [this, record](const CExperimentSample& sample) {
            m_board.ToOwner([this, record, sample] { AddSample(record, sample); });
        });
        return [this, record, ok, error = ok ? std::string() : s.LastError()] {
            if (record != m_record.get())
                return;
            m_started = ok;
            m_running = ok;
            if (!ok)
                Tell(error);
        };
    });
    if (CExperimentPicture* picture = m_record->Picture()) {
        static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
        picture->Graph().CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, GraphRect(), this, 0);
    }
    Invalidate(FALSE);
    if (setup->kind == ExperimentKind::Stepper)
        Tell(Tr("Stepper run started: {1} periods {2}", {std::to_string(setup->samples), Tr(DirectionName(setup->clockwise))}));
    else
        Tell(Tr("{1} run started: {2} samples", {Tr(KindName(setup->kind)), std::to_string(setup->samples)}));
    return true;
}

void CExperimentPanel::AddSample(CExperimentRecord* record, const CExperimentSample& sample)
{
    if (record != m_record.get())
        return;
    record->Add(sample.shown, sample.raw, sample.output, sample.ms);
    if (CWnd* graph = GraphWindow())
        graph->Invalidate(FALSE);
}

void CExperimentPanel::Stop()
{
    if (!m_running)
        return;
    m_stopAsked = true;
    m_board.Post([](CDebugSession& s) -> CBoardThread::Reply {
        s.StopExperiment();
        return {};
    });
}

void CExperimentPanel::Poll()
{
    if (!m_running || !m_started || m_board.View().experimentRunning)
        return;
    m_running = false;
    ShowFigures();
}

void CExperimentPanel::ShowFigures()
{
    CExperimentRecord* record = m_record.get();
    if (!record)
        return;
    if (record->Setup().kind == ExperimentKind::Stepper) {
        // The board answers a step with nothing the link passes on: no curve, no figures.
        const std::string periods = std::to_string(record->Setup().samples);
        m_figures = Tr(m_stopAsked ? N_("stepper run stopped before its {1} periods, no samples to plot")
                                   : N_("stepper run: {1} periods, no samples to plot"),
                       {periods});
        GetDlgItem(IdFigures)->SetWindowText(zorkit::GbkFromUtf8(m_figures).c_str());
        Tell(m_figures);
        return;
    }
    const CSettlingFigures f = record->Figures();
    const char* unit = Unit(record->Setup().kind);
    char text[512];
    int n = std::snprintf(text, sizeof text, Tr("%zu samples\nfinal value %.2f%s\n(%+.2f from the set point %d)\n").c_str(),
                          record->Samples().size(), f.finalValue, unit, f.offset, record->Setup().setPoint);
    if (f.settledAt)
        n += std::snprintf(text + n, sizeof text - std::size_t(n), Tr("settling time %.1f s\n(from sample %d, band ±%.0f%s)\n").c_str(),
                           *f.settledAt * CDebugSession::kSecondsPerSample, *f.settledAt, f.band, unit);
    else
        n += std::snprintf(text + n, sizeof text - std::size_t(n), Tr("not settled (band ±%.0f%s)\n").c_str(), f.band, unit);
    std::snprintf(text + n, sizeof text - std::size_t(n), Tr("overshoot %.2f%s\noutput %d .. %d").c_str(), f.overshoot, unit,
                  f.outputLow, f.outputHigh);
    m_figures = text;
    GetDlgItem(IdFigures)->SetWindowText(zorkit::GbkFromUtf8(m_figures).c_str());
    Tell(Tr(f.settledAt ? N_("the run has ended and settled") : N_("the run has ended without settling")));
}

std::filesystem::path CExperimentPanel::ExportRun(Export what)
{
    CExperimentRecord* record = m_record.get();
    if (!record || record->Samples().empty() || m_running) {
        Tell(Tr("there is no finished run to export"));
        return {};
    }
    const char* extension = what == Export::Png ? ".png" : what == Export::Pdf ? ".pdf" : ".csv";
    const std::filesystem::path path = m_exportDirectory / (std::string(FileStem(record->Setup().kind)) + extension);
    const bool written = what == Export::Png   ? ExportPng(*record, path.string())
                         : what == Export::Pdf ? ExportPdf(*record, path.string())
                                               : ExportCsv(*record, path.string());
    if (!written) {
        Tell(Tr("cannot write {1}", {path.string()}));
        return {};
    }
    Tell(Tr("wrote {1}", {path.string()}));
    return path;
}

void CExperimentPanel::Tell(const std::string& utf8)
{
    if (onMessage)
        onMessage(utf8);
}

void CExperimentPanel::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    // Where the graph goes before the first run.
    if (!GraphWindow()) {
        const CRect graph = GraphRect();
        dc.FillSolidRect(&graph, RGB(0, 0, 0));
    }
}

void CExperimentPanel::OnKind()
{
    const ExperimentKind next = m_kind == ExperimentKind::Temperature ? ExperimentKind::Speed
                                : m_kind == ExperimentKind::Speed     ? ExperimentKind::Stepper
                                                                      : ExperimentKind::Temperature;
    SetKind(next);
}

void CExperimentPanel::OnDirection() { SetClockwise(!m_clockwise); }

void CExperimentPanel::OnStart() { Start(); }
void CExperimentPanel::OnStop() { Stop(); }
void CExperimentPanel::OnExportPng() { ExportRun(Export::Png); }
void CExperimentPanel::OnExportPdf() { ExportRun(Export::Pdf); }
void CExperimentPanel::OnExportCsv() { ExportRun(Export::Csv); }

}
