// The control's string table and version resource, read back from the built resources.
#include "resource_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct StringCase {
    UINT id;
    const char* text;
};

const StringCase kStrings[] = {
    {1, "Portlex Control"},
    {3, "Portlex V3.4 - connected to %s"},
    {4, "Portlex V3.4 - disconnected"},
    {401, "Error 0x%04x in function %s !"},
    {402,
     "Could not find Telvora.exe. Possible causes and fixups:\n\n- Telvora internal error: quit all "
     "programs and restart Windows... Sorry...\n- KOVA configuration problem: add the following "
     "lines to your win.ini:\n\n[KOVA]\nPathVT320=C:\\Telvora (or your Telvora installation "
     "directory...).\n"},
    {403, "Service \"%1\" not defined in Telvora !"},
    {404, "Could not allocate memory !"},
    {405, "Receive buffer overflow !"},
    {406, "Could not load Cap32.dll !"},
    {409, "Could not launch textpane thread !"},
    {410, "Could not launch textpane dialog ! Check the textpane ActiveX registration !"},
    {411, "Could not create an Brevant instance !"},
    {412, "Could not open the Brevant instance !"},
    {413, "Could not set up Brevant parameters !"},
    {416, "Could not launch resending thread !"},
    {417, "Could not launch resending dialog !"},
    {418, "Communication has been cleared !"},
};

std::string LoadText(UINT id) {
    char buffer[2048] = {};
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

// Shows control characters, so that a failure tells where texts differ.
std::string Visible(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else if (c < 0x20 || c >= 0x7f) out += "\\x" + std::to_string(c);
        else out += static_cast<char>(c);
    }
    return out;
}

TEST(PortlexResources, StringsHaveTheirExactTexts) {
    for (const StringCase& c : kStrings) {
        const std::string text = LoadText(c.id);
        EXPECT_EQ(c.text, text) << "string " << c.id << "\n  expected: " << Visible(c.text)
                                << "\n  loaded:   " << Visible(text);
    }
}

TEST(PortlexResources, EscapesOfMessageTextsBecomeSingleCharacters) {
    const std::string text402 = LoadText(402);
    EXPECT_EQ(1, std::count(text402.begin(), text402.end(), '\\')) << Visible(text402);
    EXPECT_EQ(7, std::count(text402.begin(), text402.end(), '\n')) << Visible(text402);
    EXPECT_NE(std::string::npos, text402.find("PathVT320=C:\\Telvora (")) << Visible(text402);
    EXPECT_EQ('\n', text402.back());
    const std::string text403 = LoadText(403);
    EXPECT_EQ(2, std::count(text403.begin(), text403.end(), '"')) << Visible(text403);
    EXPECT_EQ(0u, text403.find("Service \"%1\" ")) << Visible(text403);
}

TEST(PortlexResources, UnusedMessageIdsHaveNoText) {
    for (UINT id : {2u, 400u, 407u, 408u, 414u, 415u, 419u}) {
        EXPECT_EQ("", LoadText(id)) << "string " << id;
    }
}

TEST(PortlexResources, StringTablesAreUsEnglish) {
    // String ids are stored in blocks of 16: block n holds ids 16(n-1) .. 16n-1.
    for (int block : {1, 26, 27}) {
        EXPECT_FALSE(portlex_test::ResourceBytes(RT_STRING, block).empty()) << "block " << block;
    }
}

std::string VersionString(const std::vector<unsigned char>& info, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        !value) {
        return "(missing)";
    }
    return std::string(value);
}

TEST(PortlexResources, VersionIsPortlex34) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << path;
    std::vector<unsigned char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00030004u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00030004u, fixed->dwProductVersionMS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

    EXPECT_EQ("3, 4, 0, 1", VersionString(info, "FileVersion"));
    EXPECT_EQ("3, 4, 0, 1", VersionString(info, "ProductVersion"));
    EXPECT_EQ("Portlex.ocx", VersionString(info, "OriginalFilename"));
    EXPECT_EQ("Portlex", VersionString(info, "InternalName"));
    EXPECT_EQ("", VersionString(info, "OLESelfRegister"));
}

}  // namespace
