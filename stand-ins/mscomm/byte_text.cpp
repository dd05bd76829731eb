// One character per byte between the line and the strings of Output and Input.
#include "byte_text.h"

namespace mscomm {

std::wstring BytesToText(const char* bytes, size_t count) {
    std::wstring text(count, L'\0');
    for (size_t i = 0; i < count; ++i) text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return text;
}

std::string TextToBytes(const wchar_t* text, size_t length, ByteFallback fallback) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) {
        const unsigned code = static_cast<unsigned>(text[i]) & 0xFFFFu;
        if (code <= 0xFF) {
            bytes[i] = static_cast<char>(code);
            continue;
        }
        const int chosen = fallback ? fallback(text[i]) : -1;
        bytes[i] = chosen >= 0 && chosen <= 0xFF ? static_cast<char>(chosen) : '?';
    }
    return bytes;
}

}  // namespace mscomm
