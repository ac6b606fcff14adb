// The host and the virtual board keep their own copies of the protocol's constants,
// as two peers do; these tests hold the copies together.
#include <gtest/gtest.h>

#include <string>

#include "sim/BoardProtocol.h"
#include "zorkit/link/ZORComm.h"
#include "zorkit/link/internal/Protocol.h"

namespace board = zorkit::sim;
namespace host = zorkit::link;

TEST(ProtocolAgreement, AnswerBytesAndBannerAreTheSameOnBothSides)
{
    EXPECT_EQ(host::kAck, board::kAck);
    EXPECT_EQ(host::kNak, board::kNak);
    EXPECT_EQ(std::string(host::kBanner, host::kBannerLength),
        std::string(board::kBanner.begin(), board::kBanner.end()));
}

TEST(ProtocolAgreement, CommandCodesAndRegisterImageSizesAreTheSameOnBothSides)
{
    const std::pair<CZORComm::ZORCMD, board::MonitorCommand> commands[] = {
        {CZORComm::CMD_PROG_DLD, board::CMD_PROG_DLD}, {CZORComm::CMD_EXMEM_DLD, board::CMD_EXMEM_DLD},
        {CZORComm::CMD_EXMEM_ULD, board::CMD_EXMEM_ULD}, {CZORComm::CMD_INMEM_DLD, board::CMD_INMEM_DLD},
        {CZORComm::CMD_INMEM_ULD, board::CMD_INMEM_ULD}, {CZORComm::CMD_REG_DLD, board::CMD_REG_DLD},
        {CZORComm::CMD_REG_ULD, board::CMD_REG_ULD}, {CZORComm::CMD_PROG_RESET, board::CMD_PROG_RESET},
        {CZORComm::CMD_PROG_EXEC, board::CMD_PROG_EXEC}, {CZORComm::CMD_GOTO_CURSOR, board::CMD_GOTO_CURSOR},
        {CZORComm::CMD_STEP, board::CMD_STEP}, {CZORComm::CMD_TRACE, board::CMD_TRACE},
        {CZORComm::CMD_SET_BREAK, board::CMD_SET_BREAK}, {CZORComm::CMD_CLEAR_BREAK, board::CMD_CLEAR_BREAK},
        {CZORComm::CMD_CLEAR_ALL_BREAK, board::CMD_CLEAR_ALL_BREAK},
        {CZORComm::CMD_KEY_MONITOR, board::CMD_KEY_MONITOR},
    };
    for (const auto& [hostCode, boardCode] : commands)
        EXPECT_EQ(int(hostCode), int(boardCode));

    EXPECT_EQ(size_t(CZORComm::CPU_8051), board::RegisterImageSize(board::CpuType::Intel8051));
    EXPECT_EQ(size_t(CZORComm::CPU_8086), board::RegisterImageSize(board::CpuType::Intel8086));
    EXPECT_EQ(size_t(CZORComm::CPU_8098), board::RegisterImageSize(board::CpuType::Intel8098));
}
