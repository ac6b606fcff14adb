// The grid tests' global allocator, which can be told to refuse blocks of one size, so
// that a test can make one particular growth run out of memory.
//
//   {
//       zorkit::test::RefuseBlocksOf refuse(37 * sizeof(UINT));
//       EXPECT_FALSE(grid.Create(rect, &owner, 100));   // new of 148 bytes throws bad_alloc
//   }
//   // refuse.Refused() tells how many requests were turned down
#pragma once

#include <cstddef>

namespace zorkit::test {

class RefuseBlocksOf {
public:
    explicit RefuseBlocksOf(std::size_t bytes);
    ~RefuseBlocksOf();
    RefuseBlocksOf(const RefuseBlocksOf&) = delete;
    RefuseBlocksOf& operator=(const RefuseBlocksOf&) = delete;
    int Refused() const;
};

}
