#include "tools/zorstudio/HeaterBench.h"

#include <chrono>

#include "zorkit/platform/serial/PortTable.h"

namespace zorstudio {
namespace {
// The port index the link opens; mapped to the board's line in this process only.
constexpr int kPort = 0;
}

std::unique_ptr<CHeaterBench> CHeaterBench::Start(std::string& error)
{
    std::unique_ptr<CHeaterBench> bench(new CHeaterBench);
    if (!bench->m_board.Start()) {
        error = "the virtual board cannot start: " + bench->m_board.LastError();
        return nullptr;
    }
    zorkit::sim::CExperimentSettings settings;
    settings.plant = zorkit::sim::PlantKind::Heater;
    // The loop's own period paces the run; the line answers at once.
    settings.samplePeriod = std::chrono::milliseconds(1);
    settings.step = kSecondsPerSample;
    settings.noise = 0.5;
    bench->m_board.StartExperiment(settings);
    zorkit::SetSerialPortPath(kPort, bench->m_board.SlavePath());
    bench->m_link = std::make_unique<CZORComm>(CZORComm::CPU_8051, kPort, 0);
    if (!bench->m_link->IsActive()) {
        error = "the link cannot open the board's line " + bench->m_board.SlavePath();
        return nullptr;
    }
    return bench;
}

}
