// Where each register sits in the 8051 board's 26-byte register image: one table,
// read by the register view, the snapshot comparison and the write-back.
//
//   for (const CRegisterField& field : RegisterLayout())
//       printf("%s = %X\n", field.name, RegisterValue(image, field));
//
// Multi-byte registers (DPTR, PC) are stored low byte first, as addresses are on
// the line; R0..R7 are those of the bank PSW selects. The order follows the board's
// monitor; change the table, nothing else, if a monitor saves its registers in
// another order.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"

namespace zorstudio {

struct CRegisterField {
    const char* name;
    int offset;
    int size; // 1 or 2 bytes
};

// The fields in display order; together they cover the image once.
const std::vector<CRegisterField>& RegisterLayout();
// The bytes the layout covers: the 8051 image size.
std::size_t RegisterImageSize();
// The field called `name` (as in the table, upper case), or null.
const CRegisterField* FindRegister(const std::string& name);
// The field's value; 0 when the image is too short to hold it.
unsigned RegisterValue(const std::vector<BYTE>& image, const CRegisterField& field);
// Stores value (cut to the field's size); false when the image is too short.
bool StoreRegisterValue(std::vector<BYTE>& image, const CRegisterField& field, unsigned value);
// The field that holds image byte `offset`, or null.
const CRegisterField* RegisterAt(int offset);

}
