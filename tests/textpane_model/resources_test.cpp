// Tests of Textpane.ocx's resources and type library. This program embeds the module's
// resource script, so everything is read back from the program's own module, the way
// the control, the registration and containers read it from Textpane.ocx.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "com_ptr.h"
#include "handles.h"
#include "resource.h"

#include <initguid.h>
#include "textpane.h"

namespace {

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::string Hex(long value) {
    char text[16];
    snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(value));
    return text;
}

// ---- Strings --------------------------------------------------------------------

struct StringCase {
    UINT id;
    const char* text;
};

TEST(TextpaneResources, Strings) {
    const StringCase cases[] = {
        {IDS_TEXTPANE_TYPE_NAME, "Textpane ActiveX"},
        {IDS_TEXTPANE_PAGE_NAME, "Textpane Property Page"},
        {IDS_TEXTPANE_PAGE_CAPTION, "General"},
    };
    for (const StringCase& c : cases) {
        char text[128] = "marker";
        const int length = LoadStringA(Module(), c.id, text, sizeof text);
        EXPECT_EQ(length, static_cast<int>(strlen(c.text))) << "string " << c.id;
        EXPECT_STREQ(text, c.text) << "string " << c.id;
    }
}

// ---- Dialog templates -------------------------------------------------------------

// One DLGTEMPLATE read back field by field. Names and classes given by ordinal are
// written "#n" (for example "#130" for the static class, "#1" for icon 1).
struct DialogItem {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::wstring windowClass, title;
};
struct Dialog {
    DWORD style;
    short x, y, cx, cy;
    std::wstring caption, font;
    WORD points;
    std::vector<DialogItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* start) : start_(start), at_(start) {}
    WORD Word() { WORD w; memcpy(&w, at_, 2); at_ += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, at_, 4); at_ += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    std::wstring Text() {
        std::wstring text;
        for (WORD c = Word(); c; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    std::wstring TextOrOrdinal() {
        WORD first;
        memcpy(&first, at_, 2);
        if (first != 0xFFFF) return Text();
        Word();
        return L"#" + std::to_wstring(Word());
    }
    void AlignDword() { at_ = start_ + ((at_ - start_ + 3) & ~3); }

private:
    const BYTE* start_;
    const BYTE* at_;
};

bool ReadDialog(UINT id, Dialog& dialog) {
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    if (!found) return false;
    TemplateReader in(static_cast<const BYTE*>(LockResource(LoadResource(Module(), found))));
    dialog.style = in.Dword();
    in.Dword();  // extended style
    const WORD count = in.Word();
    dialog.x = in.Short(), dialog.y = in.Short(), dialog.cx = in.Short(), dialog.cy = in.Short();
    in.TextOrOrdinal();  // menu
    in.TextOrOrdinal();  // class
    dialog.caption = in.Text();
    dialog.points = 0;
    if (dialog.style & DS_SETFONT) {
        dialog.points = in.Word();
        dialog.font = in.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignDword();
        DialogItem item;
        item.style = in.Dword();
        in.Dword();
        item.x = in.Short(), item.y = in.Short(), item.cx = in.Short(), item.cy = in.Short();
        item.id = in.Word();
        item.windowClass = in.TextOrOrdinal();
        item.title = in.TextOrOrdinal();
        const WORD extra = in.Word();
        for (WORD b = 0; b < extra; b += 2) in.Word();
        dialog.items.push_back(item);
    }
    return true;
}

void ExpectItem(const DialogItem& item, const wchar_t* windowClass, const wchar_t* title, WORD id, short x, short y,
                DWORD typeStyle) {
    EXPECT_EQ(item.windowClass, windowClass);
    EXPECT_EQ(item.title, title);
    EXPECT_EQ(item.id, id);
    EXPECT_EQ(item.x, x);
    EXPECT_EQ(item.y, y);
    EXPECT_EQ(item.style & 0xF, typeStyle) << "style " << Hex(item.style);
    EXPECT_TRUE(item.style & WS_VISIBLE) << "style " << Hex(item.style);
}

TEST(TextpaneResources, AboutBoxTemplate) {
    Dialog about;
    ASSERT_TRUE(ReadDialog(IDD_TEXTPANE_ABOUT, about));
    EXPECT_EQ(about.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT))
        << Hex(about.style);
    EXPECT_EQ(about.x, 34);
    EXPECT_EQ(about.y, 22);
    EXPECT_EQ(about.cx, 260);
    EXPECT_EQ(about.cy, 55);
    EXPECT_EQ(about.caption, L"About Textpane ActiveX");
    EXPECT_EQ(about.font, L"MS Sans Serif");
    EXPECT_EQ(about.points, 8);
    ASSERT_EQ(about.items.size(), 3u);
    ExpectItem(about.items[0], L"#130", L"#1", 0xFFFF, 10, 10, SS_ICON);
    ExpectItem(about.items[1], L"#130", L"Textpane ActiveX, Version 1.0", 0xFFFF, 40, 10, SS_LEFT);
    EXPECT_EQ(about.items[1].cx, 170);
    EXPECT_EQ(about.items[1].cy, 8);
    ExpectItem(about.items[2], L"#128", L"OK", IDOK, 221, 7, BS_DEFPUSHBUTTON);
    EXPECT_EQ(about.items[2].cx, 32);
    EXPECT_EQ(about.items[2].cy, 14);
}

TEST(TextpaneResources, PropertyPageTemplate) {
    Dialog page;
    ASSERT_TRUE(ReadDialog(IDD_TEXTPANE_PAGE, page));
    EXPECT_EQ(page.style, static_cast<DWORD>(WS_CHILD | DS_SETFONT)) << Hex(page.style);
    EXPECT_EQ(page.cx, 250);
    EXPECT_EQ(page.cy, 62);
    EXPECT_EQ(page.font, L"MS Sans Serif");
    EXPECT_EQ(page.points, 8);
    EXPECT_TRUE(page.items.empty()) << page.items.size() << " controls";
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The real window: the template loads, and the icon control found icon 1.
TEST(TextpaneResources, AboutBoxCreatesWithItsIcon) {
    fw::UniqueWindow dialog(
        CreateDialogParamW(Module(), MAKEINTRESOURCEW(IDD_TEXTPANE_ABOUT), nullptr, NoDialogProc, 0));
    ASSERT_TRUE(dialog) << "CreateDialogParam failed, error " << GetLastError();
    char caption[64] = "";
    GetWindowTextA(dialog.Get(), caption, sizeof caption);
    EXPECT_STREQ(caption, "About Textpane ActiveX");
    HWND iconControl = GetWindow(dialog.Get(), GW_CHILD);
    ASSERT_NE(iconControl, nullptr);
    EXPECT_NE(SendMessageW(iconControl, STM_GETICON, 0, 0), 0) << "the about box shows no icon";
    char ok[16] = "";
    GetDlgItemTextA(dialog.Get(), IDOK, ok, sizeof ok);
    EXPECT_STREQ(ok, "OK");
}

// ---- Images -----------------------------------------------------------------------

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

TEST(TextpaneResources, IconHas32And16PixelImages) {
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(IDI_TEXTPANE), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const GroupIconHeader*>(LockResource(LoadResource(Module(), found)));
    ASSERT_EQ(group->count, 2);
    EXPECT_EQ(group->entries[0].width, 32);
    EXPECT_EQ(group->entries[0].height, 32);
    EXPECT_EQ(group->entries[1].width, 16);
    EXPECT_EQ(group->entries[1].height, 16);

    for (int size : {32, 16}) {
        fw::UniqueIcon icon(static_cast<HICON>(
            LoadImageW(Module(), MAKEINTRESOURCEW(IDI_TEXTPANE), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        ASSERT_TRUE(icon) << size << " pixels, error " << GetLastError();
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
        fw::UniqueGdi<HBITMAP> colourBits(info.hbmColor), maskBits(info.hbmMask);
        BITMAP colour = {};
        GetObjectW(colourBits.Get(), sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
    }
}

TEST(TextpaneResources, ToolboxBitmapIs16By15) {
    fw::UniqueGdi<HBITMAP> bitmap(LoadBitmapW(Module(), MAKEINTRESOURCEW(IDB_TEXTPANE)));
    ASSERT_TRUE(bitmap) << "error " << GetLastError();
    BITMAP info = {};
    GetObjectW(bitmap.Get(), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 15);
}

// ---- Version ----------------------------------------------------------------------

TEST(TextpaneResources, VersionBlock) {
    const std::wstring path = ModulePath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << "error " << GetLastError();
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u) << Hex(fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u) << Hex(fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u) << Hex(fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u) << Hex(fixed->dwProductVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    EXPECT_EQ(translation[0], 0x409);

    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"FileVersion", L"1, 0, 0, 1"},        {L"ProductVersion", L"1, 0, 0, 1"},
        {L"FileDescription", L"Textpane ActiveX"}, {L"ProductName", L"Textpane ActiveX"},
        {L"InternalName", L"Textpane"},           {L"OriginalFilename", L"Textpane.ocx"},
    };
    for (const auto& [name, expected] : strings) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
            << "no value " << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(std::wstring(value), expected) << testing::PrintToString(std::wstring(name));
    }
}

// ---- Type library -----------------------------------------------------------------

struct BstrFree {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using OwnedBstr = std::unique_ptr<OLECHAR, BstrFree>;

std::wstring Text(const OwnedBstr& text) { return text ? text.get() : L""; }

fw::ComPtr<ITypeLib> LoadOwnTypeLib() {
    fw::ComPtr<ITypeLib> lib;
    const HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, lib.ReleaseAndGetAddressOf());
    EXPECT_EQ(hr, S_OK) << "LoadTypeLibEx: " << Hex(hr);
    return lib;
}

// A type description with its attributes, released together.
class TypeInfo {
public:
    explicit TypeInfo(fw::ComPtr<ITypeInfo> info) : info_(std::move(info)) {
        if (info_) info_->GetTypeAttr(&attr_);
    }
    TypeInfo(const fw::ComPtr<ITypeLib>& lib, REFGUID guid) {
        if (lib) lib->GetTypeInfoOfGuid(guid, info_.ReleaseAndGetAddressOf());
        if (info_) info_->GetTypeAttr(&attr_);
    }
    TypeInfo(const TypeInfo&) = delete;
    TypeInfo& operator=(const TypeInfo&) = delete;
    ~TypeInfo() {
        if (attr_) info_->ReleaseTypeAttr(attr_);
    }
    bool Valid() const { return attr_ != nullptr; }
    ITypeInfo* Get() const { return info_.Get(); }
    const TYPEATTR& Attr() const { return *attr_; }
    std::wstring Name(MEMBERID id = MEMBERID_NIL) const {
        BSTR name = nullptr;
        info_->GetDocumentation(id, &name, nullptr, nullptr, nullptr);
        return Text(OwnedBstr(name));
    }
    std::wstring HelpString(MEMBERID id = MEMBERID_NIL) const {
        BSTR doc = nullptr;
        info_->GetDocumentation(id, nullptr, &doc, nullptr, nullptr);
        return Text(OwnedBstr(doc));
    }
    // The type a reference in this description names.
    fw::ComPtr<ITypeInfo> Referenced(HREFTYPE ref) const {
        fw::ComPtr<ITypeInfo> out;
        EXPECT_EQ(info_->GetRefTypeInfo(ref, out.ReleaseAndGetAddressOf()), S_OK);
        return out;
    }

private:
    fw::ComPtr<ITypeInfo> info_;
    TYPEATTR* attr_ = nullptr;
};

// One function description, released with its type.
class FuncDesc {
public:
    FuncDesc(const TypeInfo& type, UINT index) : type_(type) { type_.Get()->GetFuncDesc(index, &desc_); }
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
    ~FuncDesc() {
        if (desc_) type_.Get()->ReleaseFuncDesc(desc_);
    }
    bool Valid() const { return desc_ != nullptr; }
    const FUNCDESC* operator->() const { return desc_; }

private:
    const TypeInfo& type_;
    FUNCDESC* desc_ = nullptr;
};

TEST(TextpaneTypeLib, LibraryIdentity) {
    fw::ComPtr<ITypeLib> lib = LoadOwnTypeLib();
    ASSERT_TRUE(lib);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_TextpaneLib));
    EXPECT_EQ(attr->lcid, 0x409u);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    lib->ReleaseTLibAttr(attr);

    BSTR name = nullptr, doc = nullptr, helpFile = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, &helpFile), S_OK);
    OwnedBstr ownedName(name), ownedDoc(doc), ownedHelpFile(helpFile);
    EXPECT_EQ(Text(ownedName), L"TextpaneLib");
    EXPECT_EQ(Text(ownedDoc), L"Textpane OLE Control module");
    EXPECT_EQ(Text(ownedHelpFile), L"") << "no help file is named";
}

struct MemberCase {
    const wchar_t* name;
    MEMBERID id;
    INVOKEKIND kind;
    std::vector<VARTYPE> params;  // VT_PTR for the font interface pointer
    bool bindable;
};

TEST(TextpaneTypeLib, DispatchInterfaceMembers) {
    TypeInfo dispatch(LoadOwnTypeLib(), DIID__DTextpane);
    ASSERT_TRUE(dispatch.Valid());
    EXPECT_EQ(dispatch.Attr().typekind, TKIND_DISPATCH);
    EXPECT_EQ(dispatch.Attr().wTypeFlags & (TYPEFLAG_FHIDDEN | TYPEFLAG_FDISPATCHABLE),
              TYPEFLAG_FHIDDEN | TYPEFLAG_FDISPATCHABLE)
        << Hex(dispatch.Attr().wTypeFlags);
    EXPECT_EQ(dispatch.Name(), L"_DTextpane");
    EXPECT_EQ(dispatch.HelpString(), L"Dispatch interface for Textpane Control");

    // The font is a read-write property pair; no member is a plain variable.
    const MemberCase expected[] = {
        {L"Font", DISPID_FONT, INVOKE_PROPERTYGET, {}, true},
        {L"Font", DISPID_FONT, INVOKE_PROPERTYPUT, {VT_PTR}, true},
        {L"IO", 1, INVOKE_FUNC, {VT_BSTR}, false},
        {L"AboutBox", DISPID_ABOUTBOX, INVOKE_FUNC, {}, false},
    };
    ASSERT_EQ(dispatch.Attr().cFuncs, std::size(expected));
    EXPECT_EQ(dispatch.Attr().cVars, 0);
    for (UINT i = 0; i < dispatch.Attr().cFuncs; ++i) {
        const MemberCase& want = expected[i];
        SCOPED_TRACE(testing::PrintToString(std::wstring(want.name)) + " kind " + std::to_string(want.kind));
        FuncDesc func(dispatch, i);
        ASSERT_TRUE(func.Valid());
        EXPECT_EQ(func->memid, want.id);
        EXPECT_EQ(func->invkind, want.kind);
        EXPECT_EQ(func->funckind, FUNC_DISPATCH);
        EXPECT_EQ(dispatch.Name(func->memid), want.name);
        EXPECT_EQ((func->wFuncFlags & FUNCFLAG_FBINDABLE) != 0, want.bindable) << Hex(func->wFuncFlags);
        ASSERT_EQ(static_cast<size_t>(func->cParams), want.params.size());
        for (SHORT p = 0; p < func->cParams; ++p) EXPECT_EQ(func->lprgelemdescParam[p].tdesc.vt, want.params[p]);
        EXPECT_EQ(func->elemdescFunc.tdesc.vt, want.kind == INVOKE_PROPERTYGET ? VT_PTR : VT_VOID);
    }
}

// Font's type is a pointer to stdole's IFontDisp, not a copy of it in our library.
TEST(TextpaneTypeLib, FontTypeIsStdoleFontDisp) {
    TypeInfo dispatch(LoadOwnTypeLib(), DIID__DTextpane);
    ASSERT_TRUE(dispatch.Valid());
    FuncDesc get(dispatch, 0);
    ASSERT_TRUE(get.Valid());
    const TYPEDESC& pointer = get->elemdescFunc.tdesc;
    ASSERT_EQ(pointer.vt, VT_PTR);
    ASSERT_EQ(pointer.lptdesc->vt, VT_USERDEFINED);
    TypeInfo font(dispatch.Referenced(pointer.lptdesc->hreftype));
    ASSERT_TRUE(font.Valid());
    EXPECT_EQ(font.Name(), L"IFontDisp");

    fw::ComPtr<ITypeLib> container;
    UINT index = 0;
    ASSERT_EQ(font.Get()->GetContainingTypeLib(container.ReleaseAndGetAddressOf(), &index), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(container->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, IID_StdOle)) << "IFontDisp is defined outside stdole";
    container->ReleaseTLibAttr(attr);
}

TEST(TextpaneTypeLib, NamesMapToDispatchIds) {
    TypeInfo dispatch(LoadOwnTypeLib(), DIID__DTextpane);
    ASSERT_TRUE(dispatch.Valid());
    const std::pair<const wchar_t*, DISPID> names[] = {{L"IO", 1}, {L"AboutBox", DISPID_ABOUTBOX}, {L"Font", DISPID_FONT}};
    for (const auto& [name, id] : names) {
        LPOLESTR text = const_cast<LPOLESTR>(name);
        DISPID found = 12345;
        EXPECT_EQ(DispGetIDsOfNames(dispatch.Get(), &text, 1, &found), S_OK);
        EXPECT_EQ(found, id) << testing::PrintToString(std::wstring(name));
    }
}

TEST(TextpaneTypeLib, EventInterfaceIsEmpty) {
    TypeInfo events(LoadOwnTypeLib(), DIID__DTextpaneEvents);
    ASSERT_TRUE(events.Valid());
    EXPECT_EQ(events.Attr().typekind, TKIND_DISPATCH);
    EXPECT_EQ(events.Attr().wTypeFlags & TYPEFLAG_FHIDDEN, 0) << Hex(events.Attr().wTypeFlags);
    EXPECT_EQ(events.Attr().cFuncs, 0);
    EXPECT_EQ(events.Attr().cVars, 0);
    EXPECT_EQ(events.Name(), L"_DTextpaneEvents");
    EXPECT_EQ(events.HelpString(), L"Event interface for Textpane Control");
}

TEST(TextpaneTypeLib, ControlClass) {
    TypeInfo coclass(LoadOwnTypeLib(), CLSID_Textpane);
    ASSERT_TRUE(coclass.Valid());
    EXPECT_EQ(coclass.Attr().typekind, TKIND_COCLASS);
    EXPECT_EQ(coclass.Attr().wTypeFlags & (TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL),
              TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL)
        << Hex(coclass.Attr().wTypeFlags);
    EXPECT_EQ(coclass.Name(), L"Textpane");
    EXPECT_EQ(coclass.HelpString(), L"Textpane Control");

    const std::pair<const GUID*, int> interfaces[] = {
        {&DIID__DTextpane, IMPLTYPEFLAG_FDEFAULT},
        {&DIID__DTextpaneEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
    };
    ASSERT_EQ(coclass.Attr().cImplTypes, std::size(interfaces));
    for (UINT i = 0; i < coclass.Attr().cImplTypes; ++i) {
        INT flags = -1;
        EXPECT_EQ(coclass.Get()->GetImplTypeFlags(i, &flags), S_OK);
        EXPECT_EQ(flags, interfaces[i].second) << "interface " << i;
        HREFTYPE ref = 0;
        ASSERT_EQ(coclass.Get()->GetRefTypeOfImplType(i, &ref), S_OK);
        TypeInfo implemented(coclass.Referenced(ref));
        ASSERT_TRUE(implemented.Valid());
        EXPECT_TRUE(IsEqualGUID(implemented.Attr().guid, *interfaces[i].first)) << "interface " << i;
    }
}

}  // namespace
