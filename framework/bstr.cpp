// BSTR and ANSI text conversion.
#include "bstr.h"
#include <windows.h>

namespace fw {

Bstr Bstr::FromAnsi(const char* text, int length) {
    if (!text) return Bstr::Attach(SysAllocStringLen(nullptr, 0));
    if (length < 0) length = lstrlenA(text);
    int wide = length ? MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0) : 0;
    BSTR b = SysAllocStringLen(nullptr, wide);
    if (b && wide) MultiByteToWideChar(CP_ACP, 0, text, length, b, wide);
    return Bstr::Attach(b);
}

std::string Bstr::ToAnsi() const { return BstrToAnsi(b_); }

std::string WideToAnsi(const wchar_t* s, int length) {
    if (!s) return {};
    if (length < 0) length = lstrlenW(s);
    if (length == 0) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, s, length, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, s, length, out.data(), n, nullptr, nullptr);
    return out;
}

std::string BstrToAnsi(BSTR b) { return WideToAnsi(b, b ? static_cast<int>(SysStringLen(b)) : 0); }

std::wstring AnsiToWide(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

}  // namespace fw
