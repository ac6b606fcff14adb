#include "zorkit/editor/LineRecord.h"

#include <cstring>

bool LineRecord::Create(const char* bytes, int count)
{
    if (count > kMaxLength)
        return false;
    int size = CapacityFor(count);
    char* storage = static_cast<char*>(std::malloc(std::size_t(size)));
    if (!storage)
        return false;
    if (count > 0)
        std::memcpy(storage, bytes, std::size_t(count));
    chars.reset(storage);
    length = count;
    capacity = size;
    flags = 0;
    return true;
}

bool LineRecord::Reserve(int newLength)
{
    if (newLength < capacity)
        return true;
    if (newLength > kMaxLength)
        return false;
    int size = CapacityFor(newLength);
    // realloc can extend in place, which keeps assembling a very long line linear.
    char* grown = static_cast<char*>(std::realloc(chars.get(), std::size_t(size)));
    if (!grown)
        return false;
    static_cast<void>(chars.release());
    chars.reset(grown);
    capacity = size;
    return true;
}

bool LineRecord::Append(const char* bytes, int count)
{
    if (count <= 0)
        return true;
    if (count > kMaxLength - length || !Reserve(length + count))
        return false;
    std::memcpy(chars.get() + length, bytes, std::size_t(count));
    length += count;
    return true;
}
