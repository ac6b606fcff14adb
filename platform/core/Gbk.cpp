#include "zorkit/platform/core/Gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace zorkit {
namespace {

// One converter per direction and thread: iconv descriptors carry shift state.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string Convert(std::string_view in, std::size_t replacementSize, const char* replacement)
    {
        std::string out;
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return std::string(in);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.resize(in.size() * 4 + 16);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char* dst = out.data();
        std::size_t dstLeft = out.size();
        while (srcLeft > 0) {
            if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG) {
                std::size_t used = out.size() - dstLeft;
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
                continue;
            }
            // Invalid or truncated sequence: skip one byte and mark it.
            ++src;
            --srcLeft;
            if (dstLeft < replacementSize) {
                std::size_t used = out.size() - dstLeft;
                out.resize(out.size() * 2 + replacementSize);
                dst = out.data() + used;
                dstLeft = out.size() - used;
            }
            for (std::size_t i = 0; i < replacementSize; ++i)
                *dst++ = replacement[i];
            dstLeft -= replacementSize;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(out.size() - dstLeft);
        return out;
    }

private:
    iconv_t m_cd;
};

}

std::string GbkFromUtf8(std::string_view utf8)
{
    thread_local Converter converter("GBK", "UTF-8");
    return converter.Convert(utf8, 1, "?");
}

std::string Utf8FromGbk(std::string_view gbk)
{
    thread_local Converter converter("UTF-8", "GBK");
    return converter.Convert(gbk, 1, "?");
}

std::u32string CodePointsFromGbk(std::string_view gbk)
{
    thread_local Converter converter("UTF-32LE", "GBK");
    static const char questionMark[4] = {'?', 0, 0, 0};
    std::string raw = converter.Convert(gbk, 4, questionMark);
    std::u32string out(raw.size() / 4, U'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(raw.data() + i * 4);
        out[i] = char32_t(b[0]) | (char32_t(b[1]) << 8) | (char32_t(b[2]) << 16) | (char32_t(b[3]) << 24);
    }
    return out;
}

int NextGbkBoundary(const char* text, int length, int index)
{
    if (index >= length)
        return length;
    const bool pair = IsGbkLeadByte(static_cast<unsigned char>(text[index])) && index + 1 < length &&
        IsGbkTrailByte(static_cast<unsigned char>(text[index + 1]));
    return index + (pair ? 2 : 1);
}

int PrevGbkBoundary(const char* text, int length, int index)
{
    index = std::min(index, length);
    return index <= 0 ? 0 : GbkCharacterStart(text, length, index - 1);
}

int GbkCharacterStart(const char* text, int length, int index)
{
    if (index <= 0)
        return 0;
    index = std::min(index, length - 1);
    // A byte outside the lead range always ends a character, so the run of lead-range
    // bytes before index starts at a boundary; characters are stepped from there.
    int start = index;
    while (start > 0 && IsGbkLeadByte(static_cast<unsigned char>(text[start - 1])))
        --start;
    for (int next = NextGbkBoundary(text, length, start); next <= index; next = NextGbkBoundary(text, length, start))
        start = next;
    return start;
}

}
