#include "tools/zorstudio/RegisterLayout.h"

namespace zorstudio {

const std::vector<CRegisterField>& RegisterLayout()
{
    static const std::vector<CRegisterField> layout = {
        {"A", 0, 1},     {"B", 1, 1},     {"PSW", 2, 1},   {"SP", 3, 1},   {"DPTR", 4, 2},
        {"R0", 6, 1},    {"R1", 7, 1},    {"R2", 8, 1},    {"R3", 9, 1},   {"R4", 10, 1},
        {"R5", 11, 1},   {"R6", 12, 1},   {"R7", 13, 1},   {"PC", 14, 2},  {"P0", 16, 1},
        {"P1", 17, 1},   {"P2", 18, 1},   {"P3", 19, 1},   {"IE", 20, 1},  {"IP", 21, 1},
        {"TMOD", 22, 1}, {"TCON", 23, 1}, {"TL0", 24, 1},  {"TH0", 25, 1},
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
