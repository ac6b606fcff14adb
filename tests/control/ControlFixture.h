// A link on a virtual board's pseudo-terminal, with a host window that records
// every control sample, for the control experiment tests.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "zorkit/link/ZORComm.h"
#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/serial/PortTable.h"
#include "sim/VirtualBoard.h"
#include "tests/support/TempDir.h"

// The link's private side, for the tests of this folder only.
struct CZORCommProbe {
    static char Temperature1(CZORComm& link, float v, int i) { return link.CtrlTemperature1(v, i); }
    static char Vilocity(CZORComm& link, float v, int i) { return link.CtrlVilocity(v, i); }
    static char Temperature(CZORComm& link, float v, int i) { return link.CtrlTemperature(v, i); }
    static char Vilocity1(CZORComm& link, float v, int i) { return link.CtrlVilocity1(v, i); }
    static float Fuzzy1(CZORComm& link, float e, float ep) { return link.fuzzy1(e, ep); }
    static float Fuzzy2(CZORComm& link, float e, float ep) { return link.fuzzy2(e, ep); }
    static const char* Text(const CZORComm& link) { return link.m_ctrlText; }
    static bool WorkerRuns(const CZORComm& link) { return link.m_worker.IsRunning(); }
};

namespace zorkit::control::test {

using namespace std::chrono_literals;

constexpr DWORD kPatienceMs = 60000;
constexpr auto kPatience = std::chrono::milliseconds(kPatienceMs);

struct CSample {
    float shown;
    LPARAM lParam;
    WORD raw; // *lParam when it is set
    WPARAM address;
};

// One board with its own port index and a link on it.
class CBoardLink {
public:
    explicit CBoardLink(int port);
    ~CBoardLink();

    sim::CVirtualBoard board;
    std::unique_ptr<CZORComm> link;

private:
    int m_port;
};

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the board's plant and the link's experiment of `type`.
    void StartExperiment(const sim::CExperimentSettings& settings, CTRLTYPE type, int samples);
    // Pumps the host's messages until the loop has ended (slot free, previous control set).
    bool WaitLoopEnd();
    // Pumps the host's messages until `done` holds.
    bool PumpUntil(const std::function<bool()>& done);
    sim::CExperimentState Plant() const;

    TempDir logs;
    std::unique_ptr<CBoardLink> line;
    CZORComm* link = nullptr;
    sim::CVirtualBoard* board = nullptr;
    std::vector<CSample> samples;
    std::unique_ptr<CHostWindow> host;
};

// The shown temperature of an ADC byte and the shown speed, as the host sees them.
inline double ShownTemperature(BYTE b) { return (5.0 - b / 128.0 * 2.5) / 5.0 * 100.0; }
inline double ShownSpeed(BYTE b) { return b / 256.0 * 500.0; }

}
