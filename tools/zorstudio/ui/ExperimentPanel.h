// The control-experiment panel: the kind (a button that cycles temperature, speed and
// stepper), the stepper's direction (a button that toggles clockwise and
// counter-clockwise, shown for the stepper alone), the set point, the gains, the period and the sample count; Start and Stop;
// the live graph of the run; the settling figures once it has ended; and export of the
// picture (PNG), a printout (PDF) and the samples (CSV) into the export directory.
// The host's timer calls Poll while the panel lives.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/zorstudio/BoardThread.h"
#include "tools/zorstudio/ExperimentRecord.h"
#include "tools/zorstudio/ExperimentSetup.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorstudio {

class CExperimentPanel : public CWnd {
public:
    static constexpr int kHeight = 356;

    // Control identifiers, for the host's tests and scripts.
    enum : UINT {
        IdKind = 301, IdSetPoint, IdKp, IdKi, IdKd, IdPeriod, IdSamples, IdDirection,
        IdStart = 310, IdStop, IdExportPng, IdExportPdf, IdExportCsv,
        IdFigures = 320,
    };
    enum class Export { Png, Pdf, Csv };

    explicit CExperimentPanel(CBoardThread& board);
    ~CExperimentPanel() override;

    // Messages for the host's status line, UTF-8.
    std::function<void(const std::string&)> onMessage;

    BOOL Create(CWnd* parent, const CRect& rect, UINT id);
    void SetExportDirectory(const std::filesystem::path& directory) { m_exportDirectory = directory; }
    ExperimentKind Kind() const { return m_kind; }
    void SetKind(ExperimentKind kind);
    // The stepper's direction; the kind's default (clockwise) after SetKind.
    bool Clockwise() const { return m_clockwise; }
    void SetClockwise(bool clockwise);
    // The fields as a setup; nothing, with the reason told through onMessage, when one is wrong.
    std::optional<CExperimentSetup> ReadSetup();
    bool Start();
    void Stop();
    // Notices the end of a run and shows its figures.
    void Poll();
    // The file written; empty when there is nothing to export or the file failed.
    std::filesystem::path ExportRun(Export what);
    // The graph of the current (or last) run; null before the first.
    CWnd* GraphWindow();
    // The window's record of the current (or last) run; null before the first.
    CExperimentRecord* Record() { return m_record.get(); }
    // A run was asked for and has not ended.
    bool IsRunning() const { return m_running; }
    // The figures as shown, UTF-8.
    const std::string& FiguresText() const { return m_figures; }

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnKind();
    void OnDirection();
    void OnStart();
    void OnStop();
    void OnExportPng();
    void OnExportPdf();
    void OnExportCsv();

private:
    void Tell(const std::string& utf8);
    void ShowSetup(const CExperimentSetup& setup);
    void ShowFigures();
    CRect GraphRect() const;
    void AddSample(CExperimentRecord* record, const CExperimentSample& sample);

    CBoardThread& m_board;
    std::unique_ptr<CExperimentRecord> m_record;
    ExperimentKind m_kind = ExperimentKind::Temperature;
    bool m_clockwise = true;
    CWnd* m_directionLabel = nullptr;
    std::vector<std::unique_ptr<CWnd>> m_controls;
    std::filesystem::path m_exportDirectory;
    bool m_running = false;
    bool m_started = false;  // the board thread started the run
    bool m_stopAsked = false;
    std::string m_figures;
};

}
