// The type library embedded in the control's resources: identity, the dispatch
// interface with its ids and parameter names, the event interface, the class.
#include "bstr.h"
#include "com_ptr.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <string>
#include <vector>

namespace {

GUID Guid(const wchar_t* text) {
    GUID guid = {};
    EXPECT_EQ(S_OK, CLSIDFromString(const_cast<LPOLESTR>(text), &guid)) << "bad GUID text";
    return guid;
}

const wchar_t kLibId[] = L"{59F1F324-5523-11D1-A95D-00805F6CFD10}";
const wchar_t kDispatchId[] = L"{59F1F325-5523-11D1-A95D-00805F6CFD10}";
const wchar_t kEventsId[] = L"{59F1F326-5523-11D1-A95D-00805F6CFD10}";
const wchar_t kClassId[] = L"{59F1F327-5523-11D1-A95D-00805F6CFD10}";
const wchar_t kOleColorId[] = L"{66504301-BE0F-101A-8BBB-00AA00300CAB}";

// Releases a TYPEATTR or FUNCDESC with its type information.
struct TypeAttr {
    fw::ComPtr<ITypeInfo> info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttr(const fw::ComPtr<ITypeInfo>& i) : info(i) { info->GetTypeAttr(&attr); }
    ~TypeAttr() { if (attr) info->ReleaseTypeAttr(attr); }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
};
struct FuncDesc {
    fw::ComPtr<ITypeInfo> info;
    FUNCDESC* desc = nullptr;
    FuncDesc(const fw::ComPtr<ITypeInfo>& i, UINT index) : info(i) { info->GetFuncDesc(index, &desc); }
    ~FuncDesc() { if (desc) info->ReleaseFuncDesc(desc); }
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
};

std::string Narrow(BSTR b) {
    std::string out;
    for (UINT i = 0; b && i < SysStringLen(b); ++i) out += static_cast<char>(b[i]);
    return out;
}

// Name, parameter names, types: one line that a failure can print.
std::string Describe(ITypeInfo* info, const FUNCDESC* f) {
    BSTR names[16] = {};
    UINT count = 0;
    info->GetNames(f->memid, names, 16, &count);
    std::string out = std::to_string(f->memid) + " kind " + std::to_string(f->invkind) + " ";
    for (UINT i = 0; i < count; ++i) {
        out += (i == 0 ? "" : i == 1 ? "(" : ", ") + Narrow(names[i]);
        SysFreeString(names[i]);
    }
    out += count > 1 ? ")" : "()";
    out += " flags " + std::to_string(f->wFuncFlags) + " types";
    for (SHORT i = 0; i < f->cParams; ++i) {
        const TYPEDESC& t = f->lprgelemdescParam[i].tdesc;
        out += " " + std::to_string(t.vt) + (t.vt == VT_PTR ? "*" + std::to_string(t.lptdesc->vt) : "");
    }
    out += " -> " + std::to_string(f->elemdescFunc.tdesc.vt);
    return out;
}

class PortlexTypeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        const HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, library_.ReleaseAndGetAddressOf());
        ASSERT_EQ(S_OK, hr) << "LoadTypeLibEx: 0x" << std::hex << hr;
    }
    fw::ComPtr<ITypeInfo> Info(const wchar_t* guid) {
        fw::ComPtr<ITypeInfo> info;
        const HRESULT hr = library_->GetTypeInfoOfGuid(Guid(guid), info.ReleaseAndGetAddressOf());
        EXPECT_EQ(S_OK, hr) << "no type information for this GUID";
        return info;
    }
    std::string DocString(ITypeInfo* info) {
        fw::Bstr doc;
        info->GetDocumentation(MEMBERID_NIL, nullptr, doc.OutPtr(), nullptr, nullptr);
        return Narrow(doc.Get());
    }
    fw::ComPtr<ITypeLib> library_;
};

TEST_F(PortlexTypeLibrary, IsPortlexLib34WithHelpFile) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, library_->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(Guid(kLibId), attr->guid));
    EXPECT_EQ(3, attr->wMajorVerNum);
    EXPECT_EQ(4, attr->wMinorVerNum);
    EXPECT_EQ(0u, attr->lcid);
    library_->ReleaseTLibAttr(attr);

    fw::Bstr name, doc, helpFile;
    ASSERT_EQ(S_OK, library_->GetDocumentation(-1, name.OutPtr(), doc.OutPtr(), nullptr, helpFile.OutPtr()));
    EXPECT_EQ("PORTLEXLib", Narrow(name.Get()));
    EXPECT_EQ("Portlex ActiveX Control module", Narrow(doc.Get()));
    const std::string help = Narrow(helpFile.Get());
    EXPECT_TRUE(help.size() >= 11 && help.substr(help.size() - 11) == "Portlex.hlp") << help;
}

struct MethodCase {
    const wchar_t* name;
    DISPID id;
    std::vector<const wchar_t*> params;
    std::vector<VARTYPE> types;  // VT_PTR | VT_BSTR for a BSTR*
    VARTYPE result;
};

const VARTYPE kBstrOut = VT_PTR | VT_BSTR;

TEST_F(PortlexTypeLibrary, DispatchInterfaceHasEveryMethodAtItsId) {
    auto info = Info(kDispatchId);
    ASSERT_TRUE(info);
    TypeAttr attr(info);
    ASSERT_TRUE(attr.attr);
    EXPECT_EQ(TKIND_DISPATCH, attr.attr->typekind);
    EXPECT_TRUE(attr.attr->wTypeFlags & TYPEFLAG_FHIDDEN);
    EXPECT_EQ("Dispatch interface for Portlex Control", DocString(info.Get()));

    const MethodCase methods[] = {
        {L"Close", 3, {}, {}, VT_I4},
        {L"Connect", 4, {L"lpszAddress"}, {VT_BSTR}, VT_I4},
        {L"Disconnect", 5, {}, {}, VT_I4},
        {L"Interrupt", 6, {}, {}, VT_I4},
        {L"Open", 7, {L"lpszService"}, {VT_BSTR}, VT_I4},
        {L"Read", 8, {L"lpszExpected", L"lPartialReturn", L"lTimeOut", L"bFlush", L"pbsRead"},
         {VT_BSTR, VT_I4, VT_I4, VT_BOOL, kBstrOut}, VT_I4},
        {L"SetCheckIncoming", 9, {L"bCheck"}, {VT_BOOL}, VT_VOID},
        {L"SetMessageTimer", 10, {L"lSeconds"}, {VT_I4}, VT_VOID},
        {L"ShowTextpane", 11, {L"bShow"}, {VT_BOOL}, VT_VOID},
        {L"Version", 12, {}, {}, VT_I4},
        {L"Write", 13, {L"lpszBuf"}, {VT_BSTR}, VT_I4},
        {L"WriteNoEcho", 14, {L"lpszBuf"}, {VT_BSTR}, VT_I4},
        {L"AboutBox", DISPID_ABOUTBOX, {}, {}, VT_VOID},
    };
    for (const MethodCase& m : methods) {
        LPOLESTR name = const_cast<LPOLESTR>(m.name);
        MEMBERID id = 0;
        EXPECT_EQ(S_OK, info->GetIDsOfNames(&name, 1, &id));
        EXPECT_EQ(m.id, id) << Narrow(fw::Bstr(m.name).Get());

        bool found = false;
        for (UINT i = 0; i < attr.attr->cFuncs; ++i) {
            FuncDesc f(info, i);
            if (!f.desc || f.desc->memid != m.id) continue;
            found = true;
            BSTR names[8] = {};
            UINT count = 0;
            info->GetNames(m.id, names, 8, &count);
            bool same = f.desc->invkind == INVOKE_FUNC && count == m.params.size() + 1 &&
                        f.desc->cParams == static_cast<SHORT>(m.params.size()) &&
                        f.desc->elemdescFunc.tdesc.vt == m.result &&
                        std::wstring(names[0]) == m.name;
            for (std::size_t p = 0; same && p < m.params.size(); ++p) {
                const TYPEDESC& t = f.desc->lprgelemdescParam[p].tdesc;
                const VARTYPE vt = t.vt == VT_PTR ? (VT_PTR | t.lptdesc->vt) : t.vt;
                same = std::wstring(names[p + 1]) == m.params[p] && vt == m.types[p];
            }
            for (UINT n = 0; n < count; ++n) SysFreeString(names[n]);
            EXPECT_TRUE(same) << "found " << Describe(info.Get(), f.desc);
        }
        EXPECT_TRUE(found) << "no function with id " << m.id;
    }
}

struct PropertyCase {
    const wchar_t* name;
    DISPID id;
    VARTYPE type;  // VT_USERDEFINED: the standard OLE_COLOR
};

TEST_F(PortlexTypeLibrary, StockPropertiesAreBindableAndRequestEdit) {
    auto info = Info(kDispatchId);
    ASSERT_TRUE(info);
    TypeAttr attr(info);
    ASSERT_TRUE(attr.attr);
    // 13 methods and a get and a put for each of the 4 properties; nothing else.
    EXPECT_EQ(21, attr.attr->cFuncs);
    EXPECT_EQ(0, attr.attr->cVars);

    const PropertyCase properties[] = {
        {L"BackColor", DISPID_BACKCOLOR, VT_USERDEFINED},
        {L"BorderStyle", DISPID_BORDERSTYLE, VT_I2},
        {L"Caption", DISPID_CAPTION, VT_BSTR},
        {L"Enabled", DISPID_ENABLED, VT_BOOL},
    };
    for (const PropertyCase& p : properties) {
        LPOLESTR name = const_cast<LPOLESTR>(p.name);
        MEMBERID id = 0;
        EXPECT_EQ(S_OK, info->GetIDsOfNames(&name, 1, &id));
        EXPECT_EQ(p.id, id);
        int gets = 0, puts = 0;
        for (UINT i = 0; i < attr.attr->cFuncs; ++i) {
            FuncDesc f(info, i);
            if (!f.desc || f.desc->memid != p.id) continue;
            const WORD flags = FUNCFLAG_FBINDABLE | FUNCFLAG_FREQUESTEDIT;
            const TYPEDESC* type = nullptr;
            if (f.desc->invkind == INVOKE_PROPERTYGET && f.desc->cParams == 0) {
                ++gets;
                type = &f.desc->elemdescFunc.tdesc;
            } else if (f.desc->invkind == INVOKE_PROPERTYPUT && f.desc->cParams == 1) {
                ++puts;
                type = &f.desc->lprgelemdescParam[0].tdesc;
            }
            ASSERT_TRUE(type) << "unexpected " << Describe(info.Get(), f.desc);
            EXPECT_EQ(flags, f.desc->wFuncFlags & flags) << Describe(info.Get(), f.desc);
            EXPECT_EQ(p.type, type->vt) << Describe(info.Get(), f.desc);
            if (type->vt == VT_USERDEFINED) {
                fw::ComPtr<ITypeInfo> alias;
                ASSERT_EQ(S_OK, info->GetRefTypeInfo(type->hreftype, alias.ReleaseAndGetAddressOf()));
                TypeAttr aliasAttr(alias);
                ASSERT_TRUE(aliasAttr.attr);
                EXPECT_TRUE(IsEqualGUID(Guid(kOleColorId), aliasAttr.attr->guid)) << "not OLE_COLOR";
                EXPECT_EQ(TKIND_ALIAS, aliasAttr.attr->typekind);
                EXPECT_EQ(VT_UI4, aliasAttr.attr->tdescAlias.vt);
            }
        }
        EXPECT_TRUE(gets == 1 && puts == 1) << "property id " << p.id << ": " << gets << " get, " << puts << " put";
    }
}

TEST_F(PortlexTypeLibrary, EventInterfaceHasIncoming) {
    auto info = Info(kEventsId);
    ASSERT_TRUE(info);
    TypeAttr attr(info);
    ASSERT_TRUE(attr.attr);
    EXPECT_EQ(TKIND_DISPATCH, attr.attr->typekind);
    EXPECT_EQ("Event interface for Portlex Control", DocString(info.Get()));
    ASSERT_EQ(1, attr.attr->cFuncs);
    FuncDesc f(info, 0);
    ASSERT_TRUE(f.desc);
    fw::Bstr name;
    info->GetDocumentation(f.desc->memid, name.OutPtr(), nullptr, nullptr, nullptr);
    EXPECT_TRUE(f.desc->memid == 1 && f.desc->cParams == 0 && f.desc->elemdescFunc.tdesc.vt == VT_VOID &&
                Narrow(name.Get()) == "Incoming")
        << Describe(info.Get(), f.desc);
}

TEST_F(PortlexTypeLibrary, ControlClassNamesBothInterfaces) {
    auto info = Info(kClassId);
    ASSERT_TRUE(info);
    TypeAttr attr(info);
    ASSERT_TRUE(attr.attr);
    EXPECT_EQ(TKIND_COCLASS, attr.attr->typekind);
    EXPECT_EQ(TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL,
              attr.attr->wTypeFlags & (TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL));
    EXPECT_EQ("Portlex Control", DocString(info.Get()));
    fw::Bstr name;
    info->GetDocumentation(MEMBERID_NIL, name.OutPtr(), nullptr, nullptr, nullptr);
    EXPECT_EQ("Portlex", Narrow(name.Get()));

    ASSERT_EQ(2, attr.attr->cImplTypes);
    bool sawDefault = false, sawSource = false;
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        info->GetImplTypeFlags(i, &flags);
        info->GetRefTypeOfImplType(i, &ref);
        fw::ComPtr<ITypeInfo> implemented;
        ASSERT_EQ(S_OK, info->GetRefTypeInfo(ref, implemented.ReleaseAndGetAddressOf()));
        TypeAttr implementedAttr(implemented);
        ASSERT_TRUE(implementedAttr.attr);
        if (flags == IMPLTYPEFLAG_FDEFAULT) {
            sawDefault = IsEqualGUID(Guid(kDispatchId), implementedAttr.attr->guid);
        } else if (flags == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) {
            sawSource = IsEqualGUID(Guid(kEventsId), implementedAttr.attr->guid);
        }
    }
    EXPECT_TRUE(sawDefault) << "_DPortlex is not the default interface";
    EXPECT_TRUE(sawSource) << "_DPortlexEvents is not the default source";
}

}  // namespace
