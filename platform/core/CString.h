// The framework's string: a byte string, GBK (code page 936) in this library.
// It never decodes its bytes; see Gbk.h where text meets fonts, terminals or the desktop.
#pragma once

#include <cstdarg>
#include <string>

#include "zorkit/platform/core/WinTypes.h"

class CString {
public:
    CString() = default;
    CString(const char* s) : m_text(s ? s : "") {}
    CString(const char* s, int count) : m_text(s ? s : "", s && count > 0 ? std::size_t(count) : 0) {}
    CString(char ch, int repeat = 1) : m_text(repeat > 0 ? std::size_t(repeat) : 0, ch) {}
    CString(std::string s) : m_text(std::move(s)) {}

    int GetLength() const { return int(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int i) const { return m_text.at(std::size_t(i)); }
    void SetAt(int i, char ch) { m_text.at(std::size_t(i)) = ch; }
    char operator[](int i) const { return GetAt(i); }
    operator LPCTSTR() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    CString& operator=(const char* s) { m_text = s ? s : ""; return *this; }
    CString& operator+=(const CString& s) { m_text += s.m_text; return *this; }
    CString& operator+=(const char* s) { if (s) m_text += s; return *this; }
    CString& operator+=(char ch) { m_text += ch; return *this; }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_text + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_text); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_text + b); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

    int Compare(const char* s) const { return m_text.compare(s ? s : ""); }
    CString Left(int n) const;
    CString Right(int n) const;
    CString Mid(int first) const;
    CString Mid(int first, int n) const;
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int Replace(const char* from, const char* to);
    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();

    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);
    // Loads string resource id; FALSE (and an empty string) when it does not exist.
    BOOL LoadString(UINT id);

    // Writable access to at least minLength bytes; ReleaseBuffer(-1) takes the length up to the first NUL.
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    std::string m_text;
};
