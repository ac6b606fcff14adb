#include <gtest/gtest.h>

#include <set>

#include "tools/zorstudio/RegisterLayout.h"
#include "tools/zorstudio/TargetSnapshot.h"
#include "zorkit/link/ZORComm.h"

namespace zorkit::studio::test {
namespace {

using namespace zorstudio;

TEST(RegisterLayout, CoversThe8051ImageOnceWithUniqueNames)
{
    EXPECT_EQ(RegisterImageSize(), std::size_t(CZORComm::CPU_8051));
    std::vector<int> owners(RegisterImageSize(), 0);
    std::set<std::string> names;
    for (const CRegisterField& field : RegisterLayout()) {
        EXPECT_TRUE(names.insert(field.name).second) << field.name;
        ASSERT_TRUE(field.size == 1 || field.size == 2) << field.name;
        for (int i = 0; i < field.size; ++i) {
            ASSERT_LT(std::size_t(field.offset + i), owners.size()) << field.name;
            ++owners[std::size_t(field.offset + i)];
            EXPECT_EQ(RegisterAt(field.offset + i), &field);
        }
    }
    for (std::size_t i = 0; i < owners.size(); ++i)
        EXPECT_EQ(owners[i], 1) << "image byte " << i;
    EXPECT_EQ(RegisterAt(int(RegisterImageSize())), nullptr);
    EXPECT_EQ(FindRegister("XYZ"), nullptr);
}

TEST(RegisterLayout, WideRegistersAreLowByteFirst)
{
    std::vector<BYTE> image(RegisterImageSize(), 0);
    const CRegisterField& pc = *FindRegister("PC");
    ASSERT_TRUE(StoreRegisterValue(image, pc, 0x1234));
    EXPECT_EQ(image[std::size_t(pc.offset)], 0x34);
    EXPECT_EQ(image[std::size_t(pc.offset + 1)], 0x12);
    EXPECT_EQ(RegisterValue(image, pc), 0x1234u);
    const CRegisterField& a = *FindRegister("A");
    ASSERT_TRUE(StoreRegisterValue(image, a, 0x1FF));
    EXPECT_EQ(RegisterValue(image, a), 0xFFu) << "cut to the register's byte";
    EXPECT_EQ(RegisterValue(image, pc), 0x1234u) << "neighbours untouched";

    std::vector<BYTE> shortImage(3, 0);
    EXPECT_FALSE(StoreRegisterValue(shortImage, pc, 1));
    EXPECT_EQ(RegisterValue(shortImage, pc), 0u);
}

CTargetSnapshot Snapshot()
{
    CTargetSnapshot s;
    s.valid = true;
    s.registers.assign(RegisterImageSize(), 0);
    s.internalRam.assign(256, 0);
    s.externalAddress = 0x8000;
    s.external.assign(128, 0);
    return s;
}

TEST(TargetSnapshot, ChangesAreTheBytesThatDiffer)
{
    CTargetSnapshot before = Snapshot(), after = Snapshot();
    after.registers[std::size_t(FindRegister("DPTR")->offset + 1)] = 1;
    after.registers[std::size_t(FindRegister("R7")->offset)] = 7;
    after.internalRam[0x30] = 5;
    after.internalRam[0xFF] = 6;
    after.external[127] = 9;
    const CSnapshotChanges changes = CompareSnapshots(before, after);
    EXPECT_TRUE(changes.Any());
    EXPECT_EQ(changes.internalBytes, (std::vector<int>{0x30, 0xFF}));
    EXPECT_EQ(changes.externalBytes, (std::vector<int>{127}));
    const std::vector<int> bytes = {FindRegister("DPTR")->offset + 1, FindRegister("R7")->offset};
    EXPECT_EQ(changes.registerBytes, bytes);
    ASSERT_EQ(changes.registers.size(), 2u);
    EXPECT_STREQ(RegisterLayout()[std::size_t(changes.registers[0])].name, "DPTR");
    EXPECT_STREQ(RegisterLayout()[std::size_t(changes.registers[1])].name, "R7");
}

TEST(TargetSnapshot, NothingToCompareIsNoChange)
{
    CTargetSnapshot before = Snapshot(), after = Snapshot();
    after.externalAddress = 0x9000;
    after.external[0] = 1;
    EXPECT_TRUE(CompareSnapshots(before, after).externalBytes.empty()) << "another page is not a change";
    after.internalRam[1] = 1;
    before.valid = false;
    EXPECT_FALSE(CompareSnapshots(before, after).Any()) << "the first stop has nothing before it";
}

}
}
