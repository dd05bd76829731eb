// RAII for BSTR and VARIANT, and conversion between BSTR and ANSI (CP_ACP) text.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <string>
#include <utility>

namespace fw {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* s) : b_(s ? SysAllocString(s) : nullptr) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept { std::swap(b_, o.b_); return *this; }
    ~Bstr() { SysFreeString(b_); }

    // ANSI text (CP_ACP) to a BSTR of the same number of characters; embedded NULs kept.
    static Bstr FromAnsi(const char* text, int length = -1);
    static Bstr FromAnsi(const std::string& s) { return FromAnsi(s.data(), static_cast<int>(s.size())); }
    static Bstr Attach(BSTR b) { Bstr r; r.b_ = b; return r; }

    BSTR Get() const { return b_; }
    BSTR Detach() { return std::exchange(b_, nullptr); }
    BSTR* OutPtr() { SysFreeString(b_); b_ = nullptr; return &b_; }
    UINT Length() const { return SysStringLen(b_); }
    std::string ToAnsi() const;

private:
    BSTR b_ = nullptr;
};

// BSTR (possibly NULL) to ANSI text (CP_ACP), every character of it.
std::string BstrToAnsi(BSTR b);
std::wstring AnsiToWide(const std::string& s);
std::string WideToAnsi(const wchar_t* s, int length = -1);

class Variant : public VARIANT {
public:
    Variant() { VariantInit(this); }
    ~Variant() { VariantClear(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    void Clear() { VariantClear(this); }
};

}  // namespace fw
