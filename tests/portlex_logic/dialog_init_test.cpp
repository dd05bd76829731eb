// Initialisation data of dialogs 210 and 212: the saved state of the hosted
// controls. The font in the Textpane state is checked against what the system's
// own OLE font object writes and reads.
#include "bstr.h"
#include "com_ptr.h"
#include "resource_bytes.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using portlex_test::ByteReader;

constexpr int kDlgInitType = 240;
constexpr unsigned short kLoadFromStream = 0x0376;

struct Record {
    int controlId;
    unsigned short message;
    std::vector<unsigned char> data;
};

// Records {control id, message, byte length, bytes} up to the closing zero word.
::testing::AssertionResult ReadRecords(int dialog, std::vector<Record>& records) {
    const auto bytes = portlex_test::ResourceBytes(MAKEINTRESOURCEA(kDlgInitType), dialog);
    if (bytes.empty()) return ::testing::AssertionFailure() << "no init data for dialog " << dialog;
    ByteReader r(bytes);
    for (int id = r.Word(); id != 0; id = r.Word()) {
        Record record{id, r.Word(), {}};
        const unsigned length = r.Dword();
        if (r.Offset() + length > bytes.size()) {
            return ::testing::AssertionFailure() << "record of control " << id << " runs past the end";
        }
        record.data = r.Bytes(length);
        records.push_back(record);
    }
    if (r.Offset() != bytes.size()) {
        return ::testing::AssertionFailure() << (bytes.size() - r.Offset()) << " bytes after the end mark";
    }
    return ::testing::AssertionSuccess();
}

std::string Hex(const std::vector<unsigned char>& bytes) {
    std::ostringstream os;
    for (unsigned char b : bytes) os << std::hex << (b < 16 ? "0" : "") << int(b) << ' ';
    return os.str();
}

// The bytes OleSaveToStream writes for a standard font: class id, then the font.
std::vector<unsigned char> SavedStandardFont(const wchar_t* name, LONGLONG size, SHORT weight) {
    FONTDESC description = {sizeof description, const_cast<LPOLESTR>(name), {}, weight,
                            ANSI_CHARSET, FALSE, FALSE, FALSE};
    description.cySize.int64 = size;
    fw::ComPtr<IFont> font;
    HRESULT hr = OleCreateFontIndirect(&description, IID_IFont, font.OutVoid());
    EXPECT_EQ(S_OK, hr) << "OleCreateFontIndirect: 0x" << std::hex << hr;
    auto persist = font.As<IPersistStream>(IID_IPersistStream);
    fw::ComPtr<IStream> stream;
    EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf()));
    if (!persist || !stream) return {};
    hr = OleSaveToStream(persist.Get(), stream.Get());
    EXPECT_EQ(S_OK, hr) << "OleSaveToStream: 0x" << std::hex << hr;
    ULARGE_INTEGER end = {};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &end);
    HGLOBAL memory = nullptr;
    GetHGlobalFromStream(stream.Get(), &memory);
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(memory));
    std::vector<unsigned char> out(bytes, bytes + end.QuadPart);
    GlobalUnlock(memory);
    return out;
}

class DialogInitData : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(DialogInitData, TextpaneStateHasExtentAndSmallFont) {
    std::vector<Record> records;
    ASSERT_TRUE(ReadRecords(210, records));
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(502, records[0].controlId);
    EXPECT_EQ(kLoadFromStream, records[0].message);

    ByteReader r(records[0].data);
    EXPECT_EQ(0u, r.Dword()) << "record header";
    EXPECT_EQ(0x00010000u, r.Dword()) << "saved-state version";
    EXPECT_EQ(5159u, r.Dword()) << "extent x";
    EXPECT_EQ(3175u, r.Dword()) << "extent y";
    EXPECT_EQ(0x00000004u, r.Dword()) << "stock property mask";
    EXPECT_EQ(0u, r.Byte()) << "font present flag";
    const std::vector<unsigned char> font(records[0].data.begin() + r.Offset(), records[0].data.end());

    const auto expected = SavedStandardFont(L"Small Fonts", 67500, FW_NORMAL);
    EXPECT_EQ(expected, font) << "\n  OLE font writes: " << Hex(expected)
                              << "\n  resource holds:  " << Hex(font);
}

// The font part of the Textpane record (after header, version, extent, mask, flag).
std::vector<unsigned char> TextpaneFontBytes() {
    std::vector<Record> records;
    EXPECT_TRUE(ReadRecords(210, records));
    const std::size_t fontStart = 4 + 4 + 8 + 4 + 1;
    if (records.size() != 1 || records[0].data.size() <= fontStart) return {};
    return std::vector<unsigned char>(records[0].data.begin() + fontStart, records[0].data.end());
}

// Loads a font object from bytes; reports in consumed how many bytes it read.
fw::ComPtr<IFont> LoadFont(const std::vector<unsigned char>& bytes, ULONGLONG& consumed) {
    fw::ComPtr<IStream> stream;
    fw::ComPtr<IFont> font;
    EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf()));
    if (!stream || bytes.empty()) return font;
    stream->Write(bytes.data(), ULONG(bytes.size()), nullptr);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    const HRESULT hr = OleLoadFromStream(stream.Get(), IID_IFont, font.OutVoid());
    EXPECT_EQ(S_OK, hr) << "OleLoadFromStream: 0x" << std::hex << hr;
    ULARGE_INTEGER position = {};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &position);
    consumed = position.QuadPart;
    return font;
}

TEST_F(DialogInitData, TextpaneFontLoadsBackAsSmallFonts675) {
    const auto bytes = TextpaneFontBytes();
    ASSERT_FALSE(bytes.empty());
    ULONGLONG consumed = 0;
    auto font = LoadFont(bytes, consumed);
    ASSERT_TRUE(font);
    EXPECT_EQ(bytes.size(), consumed) << "the font does not end the record";

    // Saved again before anything realises it, the font gives the same bytes:
    // name, size, weight, charset and style were all read as written.
    auto persist = font.As<IPersistStream>(IID_IPersistStream);
    fw::ComPtr<IStream> again;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, again.ReleaseAndGetAddressOf()));
    ASSERT_TRUE(persist);
    ASSERT_EQ(S_OK, OleSaveToStream(persist.Get(), again.Get()));
    HGLOBAL memory = nullptr;
    GetHGlobalFromStream(again.Get(), &memory);
    const auto* saved = static_cast<const unsigned char*>(GlobalLock(memory));
    const std::vector<unsigned char> resaved(saved, saved + bytes.size());
    GlobalUnlock(memory);
    EXPECT_EQ(bytes, resaved) << "\n  loaded:  " << Hex(bytes) << "\n  resaved: " << Hex(resaved);

    CY size = {};
    ASSERT_EQ(S_OK, font->get_Size(&size));
    EXPECT_EQ(67500, size.int64);
    BOOL italic = TRUE, underline = TRUE, strikeout = TRUE;
    font->get_Italic(&italic);
    font->get_Underline(&underline);
    font->get_Strikethrough(&strikeout);
    EXPECT_FALSE(italic || underline || strikeout);
}

int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The font object names the face it really got, so this needs "Small Fonts"
// installed where Wine looks for fonts.
TEST_F(DialogInitData, TextpaneFontIsRealisedAsSmallFonts) {
    bool installed = false;
    HDC screen = GetDC(nullptr);
    LOGFONTA wanted = {};
    lstrcpyA(wanted.lfFaceName, "Small Fonts");
    EnumFontFamiliesExA(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&installed), 0);
    ReleaseDC(nullptr, screen);
    if (!installed) GTEST_SKIP() << "no \"Small Fonts\" face in this Wine prefix";

    ULONGLONG consumed = 0;
    auto font = LoadFont(TextpaneFontBytes(), consumed);
    ASSERT_TRUE(font);
    fw::Bstr name;
    ASSERT_EQ(S_OK, font->get_Name(name.OutPtr()));
    EXPECT_STREQ(L"Small Fonts", name.Get());
    SHORT weight = 0, charset = -1;
    font->get_Weight(&weight);
    font->get_Charset(&charset);
    EXPECT_EQ(400, weight);
    EXPECT_EQ(0, charset);
}

TEST_F(DialogInitData, CommControlStateHasExtentAndNoProperties) {
    std::vector<Record> records;
    ASSERT_TRUE(ReadRecords(212, records));
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(501, records[0].controlId);
    EXPECT_EQ(kLoadFromStream, records[0].message);
    const std::vector<unsigned char> expected = {
        0, 0, 0, 0,                  // record header
        0, 0, 1, 0,                  // version 1.0
        0x95, 0x02, 0, 0,            // extent 661
        0x61, 0x02, 0, 0,            // x 609 (HIMETRIC)
        0, 0, 0, 0};                 // no stock properties
    EXPECT_EQ(expected, records[0].data) << Hex(records[0].data);
}

}  // namespace
