// The control's dialog templates: read back item by item, and the two that use
// only standard controls also created as real windows.
#include "handles.h"
#include "resource_bytes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using portlex_test::ByteReader;

// A class or text field of a template: a string, or "#<n>" for an ordinal.
std::string ReadNameOrOrdinal(ByteReader& r) {
    const unsigned short first = r.Word();
    if (first == 0xFFFF) return "#" + std::to_string(r.Word());
    std::wstring wide;
    for (unsigned short c = first; c != 0; c = r.Word()) wide += static_cast<wchar_t>(c);
    return std::string(wide.begin(), wide.end());  // the templates hold ASCII only
}

std::string ClassName(const std::string& field) {
    if (field == "#128") return "Button";
    if (field == "#130") return "Static";
    return field;
}

struct Item {
    int id;
    std::string className;
    std::string text;
    DWORD style;
    int x, y, cx, cy;
};

struct Template {
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    int pointSize = 0;
    std::string face;
    std::vector<Item> items;
};

// Reads a classic (not extended) dialog template.
bool ParseTemplate(const std::vector<unsigned char>& bytes, Template& out) {
    ByteReader r(bytes);
    out.style = r.Dword();
    r.Dword();  // extended style
    const int count = r.Word();
    out.x = static_cast<short>(r.Word());
    out.y = static_cast<short>(r.Word());
    out.cx = static_cast<short>(r.Word());
    out.cy = static_cast<short>(r.Word());
    ReadNameOrOrdinal(r);  // menu
    ReadNameOrOrdinal(r);  // window class
    out.caption = ReadNameOrOrdinal(r);
    if (out.style & DS_SETFONT) {
        out.pointSize = r.Word();
        out.face = ReadNameOrOrdinal(r);
    }
    for (int i = 0; i < count; ++i) {
        r.AlignTo(4);
        Item item;
        item.style = r.Dword();
        r.Dword();  // extended style
        item.x = static_cast<short>(r.Word());
        item.y = static_cast<short>(r.Word());
        item.cx = static_cast<short>(r.Word());
        item.cy = static_cast<short>(r.Word());
        item.id = static_cast<short>(r.Word());
        item.className = ClassName(ReadNameOrOrdinal(r));
        item.text = ReadNameOrOrdinal(r);
        const unsigned short extra = r.Word();
        r.Bytes(extra);
        out.items.push_back(item);
    }
    return r.Offset() <= bytes.size();
}

std::string Describe(const Item& i) {
    std::ostringstream os;
    os << "{" << i.id << ", " << i.className << ", \"" << i.text << "\", style 0x" << std::hex
       << i.style << std::dec << ", " << i.x << "," << i.y << " " << i.cx << "x" << i.cy << "}";
    return os.str();
}

// Item kinds by the style bits that decide them.
enum Kind { kPushButton, kDefaultButton, kLeftText, kIcon, kHostedControl };

bool HasKind(const Item& i, Kind kind) {
    switch (kind) {
        case kPushButton: return i.className == "Button" && (i.style & 0xF) == BS_PUSHBUTTON;
        case kDefaultButton: return i.className == "Button" && (i.style & 0xF) == BS_DEFPUSHBUTTON;
        case kLeftText: return i.className == "Static" && (i.style & 0x1F) == SS_LEFT;
        case kIcon: return i.className == "Static" && (i.style & 0x1F) == SS_ICON;
        case kHostedControl: return true;
    }
    return false;
}

struct ExpectedItem {
    int id;
    Kind kind;
    const char* className;  // for hosted controls: the CLSID string
    const char* text;
    bool visible;
    bool tabStop;
    int x, y, cx, cy;  // cx, cy -1 where the control sizes itself (icons)
};

struct ExpectedDialog {
    int id;
    const char* caption;
    DWORD style;
    int x, y, cx, cy;
    std::vector<ExpectedItem> items;
};

const DWORD kFrame = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
const char kTextpaneClsid[] = "{16C17BC4-2508-11D1-A95C-00805F6CFD10}";
const char kCommClsid[] = "{648A5600-2C6E-101B-82B6-000000000014}";

const ExpectedDialog kDialogs[] = {
    {1, "About Portlex Control", kFrame, 34, 22, 260, 55,
     {{-1, kIcon, "Static", "#1", true, false, 10, 10, -1, -1},
      {-1, kLeftText, "Static", "Portlex Control, Version 3.4", true, false, 40, 10, 170, 8},
      {IDOK, kDefaultButton, "Button", "OK", true, true, 221, 7, 32, 14}}},
    {216, "Portlex error", kFrame, 0, 0, 217, 82,
     {{IDOK, kDefaultButton, "Button", "OK", true, true, 160, 61, 50, 14},
      {-1, kIcon, "Static", "#219", true, false, 17, 22, -1, -1},
      {214, kLeftText, "Static", "This message will disappear in %d seconds", true, false, 7, 64, 149, 10},
      {215, kLeftText, "Static", "Error message", true, false, 47, 24, 148, 32}}},
    {210, "Portlex V3.4 - disconnected", kFrame | WS_MINIMIZEBOX, 0, 0, 330, 162,
     {{IDCANCEL, kPushButton, "Button", "Cancel", true, true, 280, 0, 50, 14},
      {502, kHostedControl, kTextpaneClsid, "", true, true, 105, 46, 130, 74},
      {210, kPushButton, "Button", "Immediately destroy this window", false, true, 11, 10, 207, 15}}},
    {212, "Mscomm32.ocx host dialog", kFrame, 0, 0, 186, 95,
     {{501, kHostedControl, kCommClsid, "", true, true, 82, 34, 25, 23}}},
};

TEST(PortlexResources, DialogTemplatesHoldTheirControls) {
    for (const ExpectedDialog& e : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(e.id));
        const auto bytes = portlex_test::ResourceBytes(RT_DIALOG, e.id);
        ASSERT_FALSE(bytes.empty()) << "no US English dialog " << e.id;
        Template t;
        ASSERT_TRUE(ParseTemplate(bytes, t));
        EXPECT_EQ(e.caption, t.caption);
        EXPECT_EQ(e.style, t.style) << std::hex << "expected 0x" << e.style << ", got 0x" << t.style;
        EXPECT_EQ(8, t.pointSize);
        EXPECT_EQ("MS Sans Serif", t.face);
        EXPECT_TRUE(t.x == e.x && t.y == e.y && t.cx == e.cx && t.cy == e.cy)
            << "at " << t.x << "," << t.y << " size " << t.cx << "x" << t.cy;
        ASSERT_EQ(e.items.size(), t.items.size());
        for (std::size_t n = 0; n < t.items.size(); ++n) {
            const ExpectedItem& x = e.items[n];
            const Item& i = t.items[n];
            const bool same =
                i.id == x.id && HasKind(i, x.kind) && i.className == x.className &&
                i.text == x.text && ((i.style & WS_CHILD) != 0) &&
                ((i.style & WS_VISIBLE) != 0) == x.visible &&
                ((i.style & WS_TABSTOP) != 0) == x.tabStop && i.x == x.x && i.y == x.y &&
                (x.cx < 0 || (i.cx == x.cx && i.cy == x.cy));
            EXPECT_TRUE(same) << "item " << n << " is " << Describe(i);
        }
    }
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

TEST(PortlexResources, ErrorDialogComesUpWithItsIconAndTexts) {
    fw::UniqueWindow dialog(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(216),
                                               nullptr, PassiveDialogProc, 0));
    ASSERT_TRUE(dialog) << "CreateDialogParam failed, error " << GetLastError();
    EXPECT_FALSE(IsWindowVisible(dialog.Get()));
    char caption[64] = {};
    GetWindowTextA(dialog.Get(), caption, sizeof caption);
    EXPECT_STREQ("Portlex error", caption);
    EXPECT_EQ("This message will disappear in %d seconds", ItemText(dialog.Get(), 214));
    EXPECT_EQ("Error message", ItemText(dialog.Get(), 215));
    EXPECT_EQ("OK", ItemText(dialog.Get(), IDOK));
    HWND icon = FindWindowExA(dialog.Get(), nullptr, "Static", nullptr);
    bool found = false;
    for (; icon; icon = FindWindowExA(dialog.Get(), icon, "Static", nullptr)) {
        if ((GetWindowLongA(icon, GWL_STYLE) & 0x1F) == SS_ICON) {
            found = true;
            EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)));
        }
    }
    EXPECT_TRUE(found) << "no icon control in dialog 216";
}

TEST(PortlexResources, AboutBoxComesUpWithItsText) {
    fw::UniqueWindow dialog(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1),
                                               nullptr, PassiveDialogProc, 0));
    ASSERT_TRUE(dialog) << "CreateDialogParam failed, error " << GetLastError();
    char caption[64] = {};
    GetWindowTextA(dialog.Get(), caption, sizeof caption);
    EXPECT_STREQ("About Portlex Control", caption);
    EXPECT_EQ("OK", ItemText(dialog.Get(), IDOK));
}

}  // namespace
