// Following the first parameter through entry code the sample programs do not hold:
// moves by exchange and by direct address, a function in another register bank, a
// local that the entry code loads with a value of its own.
#include <gtest/gtest.h>

#include "tools/cdebug/EntryCode.h"

namespace {

using cdebug::CFunction;
using cdebug::CVariable;
using cdebug::ParameterRegistersAt;

struct Entry {
    std::vector<BYTE> code = std::vector<BYTE>(0x10000);
    CFunction function;

    Entry(std::vector<BYTE> bytes, int bank = 0)
    {
        function.start = 0x0200;
        function.end = WORD(0x0200 + bytes.size());
        function.registerBank = bank;
        std::copy(bytes.begin(), bytes.end(), code.begin() + 0x0200);
    }
    // The registers of the variable's bytes at the instruction `offset` bytes in.
    std::vector<std::string> At(const CVariable& variable, int offset) const
    {
        auto now = ParameterRegistersAt(code, function, variable, WORD(0x0200 + offset));
        return now ? now->registers : std::vector<std::string>{"gone"};
    }
};

CVariable RegisterLocal(std::vector<std::string> registers)
{
    CVariable variable;
    variable.name = "v";
    variable.storage = cdebug::Storage::Register;
    variable.level = 1;
    variable.registers = std::move(registers);
    return variable;
}

using Registers = std::vector<std::string>;

}

TEST(EntryCode, AnIntMovedByExchangeAndByDirectAddressIsFollowedByteByByte)
{
    // mov a,dpl; xch a,r6; mov 07,83 (r7 := dph); ret
    const Entry entry({0xE5, 0x82, 0xCE, 0x85, 0x83, 0x07, 0x22});
    const CVariable v = RegisterLocal({"r6", "r7"});
    EXPECT_EQ(entry.At(v, 0), (Registers{"dpl", "dph"}));
    EXPECT_EQ(entry.At(v, 2), (Registers{"dpl", "dph"}));
    auto copies = ParameterRegistersAt(entry.code, entry.function, v, 0x0202)->copies;
    EXPECT_EQ(copies, (std::vector<std::pair<std::size_t, std::string>>{{0, "a"}})) << "A holds the low byte too";
    EXPECT_EQ(entry.At(v, 3), (Registers{"r6", "dph"}));
    EXPECT_EQ(entry.At(v, 6), (Registers{"r6", "r7"}));
}

TEST(EntryCode, ABankOfItsOwnPutsTheRegistersAtItsAddresses)
{
    // mov 0F,82 (r7 of bank 1 := dpl); mov 0E,#0 (r6: another local); ret
    const Entry entry({0x85, 0x82, 0x0F, 0x75, 0x0E, 0x00, 0x22}, 1);
    EXPECT_EQ(entry.At(RegisterLocal({"r7"}), 0), (Registers{"dpl"}));
    EXPECT_EQ(entry.At(RegisterLocal({"r7"}), 3), (Registers{"r7"}));
    EXPECT_EQ(entry.At(RegisterLocal({"r6"}), 0), (Registers{"r6"})) << "loaded with a value of its own";
}

TEST(EntryCode, AParameterLeftInDplIsGoneOnceDplIsOverwritten)
{
    // mov a,dpl; mov b,a; mul ab; mov dpl,a; ret: r7 is never written.
    const Entry entry({0xE5, 0x82, 0xF5, 0xF0, 0xA4, 0xF5, 0x82, 0x22});
    const CVariable n = RegisterLocal({"r7"});
    EXPECT_EQ(entry.At(n, 0), (Registers{"dpl"}));
    EXPECT_EQ(entry.At(n, 5), (Registers{"dpl"}));
    EXPECT_EQ(entry.At(n, 7), (Registers{"gone"}));
    // Beyond the straight entry code the debug records hold.
    const Entry branching({0x60, 0x00, 0x22}); // jz; ret
    EXPECT_EQ(branching.At(n, 2), (Registers{"r7"}));
}
