#include "tools/zorstudio/RegisterLayout.h"

namespace zorstudio {

const std::vector<CRegisterField>& RegisterLayout()
{
    static const std::vector<CRegisterField> layout = {
        {"R0", 0, 1},    {"R1", 1, 1},    {"R2", 2, 1},    {"R3", 3, 1},   {"R4", 4, 1},
        {"R5", 5, 1},    {"R6", 6, 1},    {"R7", 7, 1},    {"A", 8, 1},    {"B", 9, 1},
        {"PSW", 10, 1},  {"SP", 11, 1},   {"DPTR", 12, 2}, {"PC", 14, 2},  {"IE", 16, 1},
        {"IP", 17, 1},   {"TMOD", 18, 1}, {"TCON", 19, 1}, {"TL0", 20, 1}, {"TH0", 21, 1},
        {"TL1", 22, 1},  {"TH1", 23, 1},  {"SCON", 24, 1}, {"PCON", 25, 1},
    };
    return layout;
}

std::size_t RegisterImageSize()
{
    std::size_t size = 0;
    for (const CRegisterField& field : RegisterLayout())
        size += std::size_t(field.size);
    return size;
}

const CRegisterField* FindRegister(const std::string& name)
{
    for (const CRegisterField& field : RegisterLayout())
        if (name == field.name)
            return &field;
    return nullptr;
}

unsigned RegisterValue(const std::vector<BYTE>& image, const CRegisterField& field)
{
    if (image.size() < std::size_t(field.offset + field.size))
        return 0;
    unsigned value = 0;
    for (int i = field.size - 1; i >= 0; --i)
        value = value << 8 | image[std::size_t(field.offset + i)];
    return value;
}

bool StoreRegisterValue(std::vector<BYTE>& image, const CRegisterField& field, unsigned value)
{
    if (image.size() < std::size_t(field.offset + field.size))
        return false;
    for (int i = 0; i < field.size; ++i)
        image[std::size_t(field.offset + i)] = BYTE(value >> (8 * i));
    return true;
}

const CRegisterField* RegisterAt(int offset)
{
    for (const CRegisterField& field : RegisterLayout())
        if (offset >= field.offset && offset < field.offset + field.size)
            return &field;
    return nullptr;
}

}
