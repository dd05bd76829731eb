// Reads a resource of this test program, which links the control's resource script.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace portlex_test {

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The bytes of resource (type, id) in US English; empty when there is none.
inline std::vector<unsigned char> ResourceBytes(LPCSTR type, int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), kEnglishUs);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    const auto* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + SizeofResource(module, found));
}

// Little-endian readers over a byte vector; reading past the end gives 0.
class ByteReader {
public:
    explicit ByteReader(const std::vector<unsigned char>& bytes, std::size_t at = 0)
        : bytes_(bytes), at_(at) {}
    std::size_t Offset() const { return at_; }
    bool AtEnd() const { return at_ >= bytes_.size(); }
    void Seek(std::size_t at) { at_ = at; }
    void AlignTo(std::size_t n) { at_ = (at_ + n - 1) / n * n; }
    unsigned Read(std::size_t size) {
        unsigned value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            if (at_ < bytes_.size()) value |= unsigned(bytes_[at_]) << (8 * i);
            ++at_;
        }
        return value;
    }
    unsigned char Byte() { return static_cast<unsigned char>(Read(1)); }
    unsigned short Word() { return static_cast<unsigned short>(Read(2)); }
    unsigned Dword() { return Read(4); }
    std::vector<unsigned char> Bytes(std::size_t n) {
        std::vector<unsigned char> out;
        for (std::size_t i = 0; i < n; ++i) out.push_back(Byte());
        return out;
    }

private:
    const std::vector<unsigned char>& bytes_;
    std::size_t at_;
};

}  // namespace portlex_test
