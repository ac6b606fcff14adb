// A built C program downloaded to the virtual board over a real pseudo-terminal and
// the library's link, as on a real box, with our source debugger on it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/cdebug/LabProgram.h"
#include "tests/link/LinkFixture.h"
#include "tools/cdebug/SourceDebugger.h"
#include "tools/common/ProgramDownload.h"

class DebuggedProgramTest : public LinkFixture {
protected:
    void Debug(const LabProgram& program)
    {
        ASSERT_NO_FATAL_FAILURE(Establish());
        ASSERT_TRUE(DownloadProgram(*link, program.built.hex.GetRuns()));
        debugger = std::make_unique<cdebug::CSourceDebugger>(*link, program.info, program.Code(), [this] {
            return WaitFor([this] { return !link->IsZORRunning(); });
        });
    }

    // "FUNCTION FILE:LINE" of the innermost frame.
    std::string Here() const
    {
        std::vector<cdebug::CFrame> frames = debugger->Where();
        return frames.empty() ? "no frame" : debugger->Describe(frames.front());
    }
    std::string Print(const std::string& name, std::size_t frame = 0)
    {
        return debugger->Print(name, frame).value_or("error: " + debugger->Error());
    }

    std::unique_ptr<cdebug::CSourceDebugger> debugger;
};
