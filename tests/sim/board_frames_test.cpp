// Frame checking and each command's answer, over the real pseudo-terminal.
#include <random>

#include "tests/sim/BoardFixture.h"

namespace zorkit::sim::test {
namespace {

TEST_F(BoardTest, CommandWithoutParametersIsThreeBytesAndAcknowledged)
{
    EXPECT_EQ(Exchange({0x02, 0x12, 0x12}, 1), ack) << "02 12 12 is a well-formed clear-all";
    EXPECT_EQ(Exchange({0x02, 0x13, 0x13}, 1), ack) << "02 13 13 hands the board to its keypad";
    EXPECT_EQ(board.Mode(), BoardMode::Keypad);
}

TEST_F(BoardTest, ChecksumLeavesOutTheLengthByte)
{
    // 05 03 00 80 10 93: upload 16 bytes from 0x8000; 0x93 = 03+00+80+10.
    std::vector<BYTE> answer = Exchange({0x05, 0x03, 0x00, 0x80, 0x10, 0x93}, 1 + 17);
    ASSERT_EQ(answer.size(), 18u);
    EXPECT_EQ(answer[0], kAck);

    // The same frame with the length byte summed in is refused.
    Send({kAck});
    EXPECT_EQ(Exchange({0x05, 0x03, 0x00, 0x80, 0x10, 0x98}, 1), nak);
}

TEST_F(BoardTest, BadChecksumIsRefusedAndChangesNothing)
{
    std::vector<BYTE> frame = Frame(CMD_EXMEM_DLD, {0x00, 0x30, 0x02, 0x11, 0x22});
    frame.back() ^= 0x01;
    EXPECT_EQ(Exchange(frame, 1), nak);
    EXPECT_EQ(board.ReadMemory(MemorySpace::External, 0x3000, 2), (std::vector<BYTE>{0, 0}));
}

TEST_F(BoardTest, ImpossibleLengthsAreRefusedAndTheLineStaysInStep)
{
    // L = 0 is a frame of one byte, L = 1 one of two: neither has room for a code.
    EXPECT_EQ(Exchange({0x00}, 1), nak);
    EXPECT_EQ(Exchange({0x01, 0x00}, 1), nak);
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_ALL_BREAK), 1), ack) << "the next good frame is still recognised";
}

TEST_F(BoardTest, UnknownCodesAndWrongLengthsAreRefused)
{
    for (BYTE code : {BYTE(0x00), BYTE(0x04), BYTE(0x05), BYTE(0x06), BYTE(0x14), BYTE(0xFF)})
        EXPECT_EQ(Exchange(Frame(code, {0x00, 0x00}), 1), nak) << "code " << int(code);
    // A download whose count does not match its length, and fixed-size frames with a byte too many.
    EXPECT_EQ(Exchange(Frame(CMD_EXMEM_DLD, {0x00, 0x10, 0x03, 0xAB, 0xCD}), 1), nak);
    EXPECT_EQ(Exchange(Frame(CMD_REG_ULD, {0x00}), 1), nak);
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x00, 0x10, 0x00}), 1), nak);
    EXPECT_TRUE(board.Breakpoints().empty());
}

TEST_F(BoardTest, RandomFramesWithGoodChecksumsAreAllAcknowledged)
{
    std::mt19937 random(7);
    for (int i = 0; i < 40; ++i) {
        std::vector<BYTE> data(random() % 65);
        for (BYTE& b : data)
            b = BYTE(random());
        WORD address = WORD(random());
        std::vector<BYTE> parameters = Concat({LOBYTE(address), HIBYTE(address), BYTE(data.size())}, data);
        ASSERT_EQ(Exchange(Frame(CMD_PROG_DLD, parameters), 1), ack) << "frame " << i;
        EXPECT_EQ(board.ReadMemory(MemorySpace::Code, address, data.size()), data) << "frame " << i;
    }
}

TEST_F(BoardTest, DownloadsLandInTheirOwnSpace)
{
    std::vector<BYTE> data{0x90, 0x12, 0x34};
    EXPECT_EQ(Exchange(Frame(CMD_PROG_DLD, Concat({0x00, 0x20, 0x03}, data)), 1), ack);
    EXPECT_EQ(Exchange(Frame(CMD_EXMEM_DLD, Concat({0x10, 0x20, 0x03}, data)), 1), ack);
    EXPECT_EQ(Exchange(Frame(CMD_INMEM_DLD, Concat({0x30, 0x00, 0x03}, data)), 1), ack);

    EXPECT_EQ(board.ReadMemory(MemorySpace::Code, 0x2000, 3), data);
    EXPECT_EQ(board.ReadMemory(MemorySpace::External, 0x2000, 3), (std::vector<BYTE>{0, 0, 0}));
    EXPECT_EQ(board.ReadMemory(MemorySpace::External, 0x2010, 3), data);
    EXPECT_EQ(board.ReadMemory(MemorySpace::Internal, 0x30, 3), data);
}

TEST_F(BoardTest, UploadSendsAckThenBlockAndConsumesTheHostsAck)
{
    std::vector<BYTE> data{0xFF, 0x80, 0x7F, 0x01};
    board.WriteMemory(MemorySpace::External, 0xFFFE, data);
    // Wraps from 0xFFFF to 0x0000 like the monitor's data pointer.
    EXPECT_EQ(Exchange(Frame(CMD_EXMEM_ULD, {0xFE, 0xFF, 0x04}), 1 + 5), Concat(ack, Block(data)));
    EXPECT_EQ(board.Mode(), BoardMode::HostAnswer);
    // The host's 0xAA ends the upload; it must not start a 170-byte frame.
    EXPECT_EQ(Exchange(Concat({kAck}, Frame(CMD_CLEAR_ALL_BREAK)), 1), ack);

    board.WriteMemory(MemorySpace::Internal, 0xFF, {0x42, 0x43});
    EXPECT_EQ(Exchange(Frame(CMD_INMEM_ULD, {0xFF, 0x00, 0x02}), 1 + 3), Concat(ack, Block({0x42, 0x43})));
}

TEST_F(BoardTest, UploadOfNothingSendsOnlyTheChecksum)
{
    EXPECT_EQ(Exchange(Frame(CMD_EXMEM_ULD, {0x00, 0x00, 0x00}), 2), (std::vector<BYTE>{kAck, 0x00}));
}

TEST_F(BoardTest, HostThatSkipsTheBlockAnswerIsStillServed)
{
    EXPECT_EQ(Exchange(Frame(CMD_INMEM_ULD, {0x00, 0x00, 0x08}), 10).size(), 10u);
    // No 0xAA from the host: its next frame is taken as a frame.
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x34, 0x12}), 1), ack);
    EXPECT_EQ(board.Breakpoints(), (std::set<WORD>{0x1234}));
}

TEST_F(BoardTest, UnansweredBlockIsGivenUpAfterTheHostAnswerTime)
{
    Send(Frame(CMD_REG_ULD));
    ASSERT_EQ(host->Receive(28).size(), 28u);
    // The host never answers; the board returns to its monitor by itself.
    EXPECT_EQ(board.Mode(), BoardMode::HostAnswer);
    EXPECT_TRUE(board.WaitMode(BoardMode::Monitor, kPatience));
}

struct CpuCase {
    CpuType cpu;
    std::size_t imageSize;
};

class RegisterImageTest : public BoardTest, public ::testing::WithParamInterface<CpuCase> {};

TEST_P(RegisterImageTest, UploadSizeFollowsTheCpuAndDownloadTakesTheImage)
{
    board.SetCpuType(GetParam().cpu);
    std::vector<BYTE> image(GetParam().imageSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = BYTE(0xA0 + i);

    // The register download frame is always 52 bytes long; filler follows the image.
    std::vector<BYTE> parameters = image;
    parameters.resize(50, 0xEE);
    ASSERT_EQ(Frame(CMD_REG_DLD, parameters)[0], 52);
    EXPECT_EQ(Exchange(Frame(CMD_REG_DLD, parameters), 1), ack);
    EXPECT_EQ(board.Registers(), image);

    std::vector<BYTE> answer = Exchange(Frame(CMD_REG_ULD), 1 + image.size() + 1);
    EXPECT_EQ(answer, Concat(ack, Block(image)));
    // Nothing more than the image and its checksum: a host counts these bytes.
    Send({kAck});
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_ALL_BREAK), 1), ack);
}

INSTANTIATE_TEST_SUITE_P(Cpus, RegisterImageTest,
    ::testing::Values(CpuCase{CpuType::Intel8051, 26}, CpuCase{CpuType::Intel8086, 28}, CpuCase{CpuType::Intel8098, 30}));

TEST_F(BoardTest, BreakpointCommandsKeepTheBoardsList)
{
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x34, 0x12}), 1), ack);
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x00, 0x20}), 1), ack);
    EXPECT_EQ(board.Breakpoints(), (std::set<WORD>{0x1234, 0x2000}));
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_BREAK, {0x34, 0x12}), 1), ack);
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_BREAK, {0x99, 0x99}), 1), ack) << "clearing an unset breakpoint is harmless";
    EXPECT_EQ(board.Breakpoints(), (std::set<WORD>{0x2000}));
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_ALL_BREAK), 1), ack);
    EXPECT_TRUE(board.Breakpoints().empty());
}

TEST_F(BoardTest, ProgramResetSetsTheStartAddress)
{
    EXPECT_EQ(Exchange(Frame(CMD_PROG_RESET, {0x00, 0x01}), 1), ack);
    EXPECT_EQ(board.ProgramCounter(), 0x0100);
    EXPECT_EQ(board.Mode(), BoardMode::Monitor);
}

}
}
