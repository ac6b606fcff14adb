#include "zorkit/platform/core/CString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "zorkit/platform/core/Resources.h"

namespace {
std::size_t Clamp(int value, std::size_t limit)
{
    return value < 0 ? 0 : std::min(std::size_t(value), limit);
}
}

CString CString::Left(int n) const { return CString(m_text.substr(0, Clamp(n, m_text.size()))); }

CString CString::Right(int n) const
{
    std::size_t count = Clamp(n, m_text.size());
    return CString(m_text.substr(m_text.size() - count));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int n) const
{
    std::size_t start = Clamp(first, m_text.size());
    return CString(m_text.substr(start, Clamp(n, m_text.size() - start)));
}

int CString::Find(char ch, int start) const
{
    std::size_t at = m_text.find(ch, Clamp(start, m_text.size()));
    return at == std::string::npos ? -1 : int(at);
}

int CString::Find(const char* sub, int start) const
{
    std::size_t at = m_text.find(sub ? sub : "", Clamp(start, m_text.size()));
    return at == std::string::npos ? -1 : int(at);
}

int CString::ReverseFind(char ch) const
{
    std::size_t at = m_text.rfind(ch);
    return at == std::string::npos ? -1 : int(at);
}

int CString::Replace(const char* from, const char* to)
{
    if (!from || !*from)
        return 0;
    std::string replacement = to ? to : "";
    std::size_t fromLength = std::strlen(from);
    int count = 0;
    for (std::size_t at = m_text.find(from); at != std::string::npos;
         at = m_text.find(from, at + replacement.size())) {
        m_text.replace(at, fromLength, replacement);
        ++count;
    }
    return count;
}

void CString::MakeUpper()
{
    for (char& c : m_text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
}

void CString::MakeLower()
{
    for (char& c : m_text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
}

void CString::TrimLeft()
{
    std::size_t at = 0;
    while (at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[at])))
        ++at;
    m_text.erase(0, at);
}

void CString::TrimRight()
{
    while (!m_text.empty() && std::isspace(static_cast<unsigned char>(m_text.back())))
        m_text.pop_back();
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        m_text.clear();
        return;
    }
    std::string out(std::size_t(length) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(std::size_t(length));
    m_text = std::move(out);
}

BOOL CString::LoadString(UINT id)
{
    const char* text = zorkit::FindStringResource(id);
    m_text = text ? text : "";
    return text != nullptr;
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > 0 && std::size_t(minLength) > m_text.size())
        m_text.resize(std::size_t(minLength));
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = int(std::strlen(m_text.c_str()));
    m_text.resize(std::size_t(newLength));
}
