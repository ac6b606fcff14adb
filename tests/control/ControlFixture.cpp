#include "tests/control/ControlFixture.h"

#include "zorkit/platform/core/Messaging.h"

namespace zorkit::control::test {
namespace {
// Port indexes far above the machine's own, one per board of a test.
constexpr int kFirstPort = 40;
}

CBoardLink::CBoardLink(int port) : m_port(port)
{
    if (!board.Start())
        ADD_FAILURE() << "virtual board: " << board.LastError();
    SetSerialPortPath(port, board.SlavePath());
    link = std::make_unique<CZORComm>(CZORComm::CPU_8051, port, 0);
}

CBoardLink::~CBoardLink()
{
    link.reset();
    board.Stop();
    ResetSerialPortPath(m_port);
}

void ControlTest::SetUp()
{
    CCommPort::SetLogDirectory(logs.Path().string());
    line = std::make_unique<CBoardLink>(kFirstPort);
    link = line->link.get();
    board = &line->board;
    ASSERT_TRUE(link->IsActive()) << "the link could not open " << board->SlavePath();
    host = std::make_unique<CHostWindow>([this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_CTRL_SAMPLE) {
            WORD raw = lParam ? *reinterpret_cast<const WORD*>(lParam) : 0;
            samples.push_back({*reinterpret_cast<const float*>(wParam), lParam, raw, wParam});
        }
        return 0;
    });
    link->SetAckWnd(host->GetSafeHwnd());
}

void ControlTest::TearDown()
{
    // The link ends its worker before the window that the worker reports to goes.
    line.reset();
    host.reset();
}

void ControlTest::StartExperiment(const sim::CExperimentSettings& settings, CTRLTYPE type, int count)
{
    board->StartExperiment(settings);
    link->SetSampleNums(count);
    link->SetControl(type, nullptr);
}

bool ControlTest::PumpUntil(const std::function<bool()>& done) { return PumpMessagesUntil(done, kPatienceMs); }

bool ControlTest::WaitLoopEnd()
{
    return PumpUntil([this] { return !CZORCommProbe::WorkerRuns(*link) && link->IsSameToBeforeCtrl() && !link->IsCtrlRunning(); });
}

sim::CExperimentState ControlTest::Plant() const
{
    std::optional<sim::CExperimentState> state = board->Experiment();
    return state ? *state : sim::CExperimentState{};
}

}
