// Bytes of the line and the characters of Output and Input strings: one character per
// byte, the character code being the byte value (as in Latin-1), so that bytes 0x80 to
// 0xFF pass unchanged and no code page is involved. Plain C++, no Windows types.
#pragma once
#include <cstddef>
#include <string>

namespace mscomm {

// Received bytes as string characters U+0000 to U+00FF.
std::wstring BytesToText(const char* bytes, size_t count);

// A character above U+00FF has no byte of its own; the fallback chooses one (the control
// passes its ANSI code page's single byte, if there is one) or returns -1 for '?'.
using ByteFallback = int (*)(wchar_t character);

// String characters to bytes: U+0000 to U+00FF become that byte, others go through fallback.
std::string TextToBytes(const wchar_t* text, size_t length, ByteFallback fallback);

}  // namespace mscomm
