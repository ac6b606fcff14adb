// A debugging session on a virtual board of its own, its log in a scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "tests/support/TempDir.h"
#include "tools/zorstudio/DebugSession.h"
#include "tools/common/CProgramBuild.h"

namespace zorkit::studio::test {

class SessionTest : public ::testing::Test {
protected:
    // The virtual board reports the end of a run quickly; tests wait for the report.
    static constexpr std::chrono::milliseconds kStopDelay{50};
    static constexpr DWORD kWaitMs = 20000;

    void SetUp() override
    {
        CCommPort::SetLogDirectory(scratch.Path().string());
        ASSERT_TRUE(session.Open({})) << session.LastError();
        SetStopDelay(kStopDelay);
        ASSERT_TRUE(session.Connect()) << session.LastError();
    }

    void SetStopDelay(std::chrono::milliseconds delay)
    {
        sim::CMonitorTimings timings = Board().GetTimings();
        timings.stopDelay = delay;
        Board().SetTimings(timings);
    }

    sim::CVirtualBoard& Board() { return *session.VirtualBoard(); }

    static std::string SampleSource()
    {
        std::ifstream in(ZORSTUDIO_SAMPLE);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    TempDir scratch;
    zorstudio::CDebugSession session;
};

}
