// The in-memory property bag: plain values with type conversion, object values persisted
// through their stream and made anew on Read.
#include <gtest/gtest.h>

#include <olectl.h>
#include <string>
#include "framework/bstr.h"
#include "framework/com_ptr.h"
#include "ole_session.h"
#include "property_bag.h"

namespace {

fw::ComPtr<IFontDisp> MakeFont(const wchar_t* face, int points) {
    FONTDESC desc{sizeof(FONTDESC), const_cast<wchar_t*>(face), {}, FW_BOLD, ANSI_CHARSET, FALSE, FALSE, FALSE};
    desc.cySize.int64 = points * 10000LL;
    fw::ComPtr<IFontDisp> font;
    OleCreateFontIndirect(&desc, IID_IFontDisp, font.OutVoid());
    return font;
}

TEST(PropertyBag, PlainValuesReadBackAsAskedFor) {
    auto bag = tc::PropertyBag::Create();
    fw::Variant number, text;
    number.vt = VT_I4;
    number.lVal = 42;
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"7");
    ASSERT_EQ(S_OK, bag->Write(L"Count", &number));
    ASSERT_EQ(S_OK, bag->Write(L"Caption", &text));

    struct Case { const wchar_t* name; VARTYPE asked; VARTYPE got; LONG number; const wchar_t* text; };
    const Case cases[] = {
        {L"Count", VT_EMPTY, VT_I4, 42, nullptr},
        {L"Count", VT_BSTR, VT_BSTR, 0, L"42"},
        {L"COUNT", VT_I2, VT_I2, 42, nullptr},  // names ignore case
        {L"Caption", VT_EMPTY, VT_BSTR, 0, L"7"},
        {L"caption", VT_I4, VT_I4, 7, nullptr},
    };
    for (const Case& c : cases) {
        fw::Variant value;
        value.vt = c.asked;
        ASSERT_EQ(S_OK, bag->Read(c.name, &value, nullptr)) << static_cast<int>(c.asked);
        ASSERT_EQ(c.got, value.vt);
        if (c.text) {
            EXPECT_STREQ(c.text, value.bstrVal);
        }
        if (c.got == VT_I4) {
            EXPECT_EQ(c.number, value.lVal);
        }
        if (c.got == VT_I2) {
            EXPECT_EQ(c.number, value.iVal);
        }
    }
    EXPECT_EQ(2u, bag->Size());
    EXPECT_TRUE(bag->Has(L"CAPTION"));
    const std::vector<std::string> expectedLog = {"Write Count", "Write Caption", "Read Count", "Read Count",
                                                  "Read COUNT", "Read Caption", "Read caption"};
    EXPECT_EQ(expectedLog, bag->Log());
}

TEST(PropertyBag, UnknownNameIsInvalidArgAndLeavesVariantEmpty) {
    auto bag = tc::PropertyBag::Create();
    fw::Variant value;
    value.vt = VT_I4;
    value.lVal = 5;
    EXPECT_EQ(E_INVALIDARG, bag->Read(L"Missing", &value, nullptr));
    EXPECT_EQ(VT_I4, value.vt);  // untouched
}

struct FontFacts {
    std::wstring name;
    LONGLONG size = 0;
    BOOL bold = FALSE;
    BOOL italic = FALSE;
};

FontFacts Facts(IUnknown* object) {
    FontFacts facts;
    fw::ComPtr<IFont> font;
    fw::Bstr name;
    CY size{};
    if (!object || FAILED(object->QueryInterface(IID_IFont, font.OutVoid()))) return facts;
    font->get_Name(name.OutPtr());
    font->get_Size(&size);
    font->get_Bold(&facts.bold);
    font->get_Italic(&facts.italic);
    facts.name = name.Get() ? name.Get() : L"";
    facts.size = size.int64;
    return facts;
}

TEST(PropertyBag, FontIsPersistedAndMadeAgain) {
    tc::OleSession ole;
    auto bag = tc::PropertyBag::Create();
    fw::ComPtr<IFontDisp> original = MakeFont(L"Tahoma", 12);
    ASSERT_TRUE(original);
    const FontFacts written = Facts(original.Get());
    ASSERT_EQ(L"Tahoma", written.name);
    fw::Variant value;
    value.vt = VT_DISPATCH;
    value.pdispVal = original.Get();
    value.pdispVal->AddRef();
    ASSERT_EQ(S_OK, bag->Write(L"Font", &value));
    value.Clear();
    original.Reset();  // the bag must not depend on the object it was given

    struct Case { VARTYPE asked; VARTYPE got; };
    const Case cases[] = {{VT_EMPTY, VT_DISPATCH}, {VT_DISPATCH, VT_DISPATCH}, {VT_UNKNOWN, VT_UNKNOWN}};
    for (const Case& c : cases) {
        fw::Variant read;
        read.vt = c.asked;
        ASSERT_EQ(S_OK, bag->Read(L"Font", &read, nullptr)) << static_cast<int>(c.asked);
        ASSERT_EQ(c.got, read.vt);
        const FontFacts loaded = Facts(read.vt == VT_DISPATCH ? read.pdispVal : read.punkVal);
        EXPECT_EQ(written.name, loaded.name);
        EXPECT_EQ(written.size, loaded.size);
        EXPECT_TRUE(loaded.bold);
        EXPECT_FALSE(loaded.italic);
    }
}

TEST(PropertyBag, ObjectWithoutStreamPersistenceIsKeptAsItIs) {
    tc::OleSession ole;
    auto bag = tc::PropertyBag::Create();
    auto inner = tc::PropertyBag::Create();  // an object with no IPersistStream
    fw::Variant written;
    written.vt = VT_UNKNOWN;
    written.punkVal = static_cast<IPropertyBag*>(inner.Get());
    written.punkVal->AddRef();
    ASSERT_EQ(S_OK, bag->Write(L"Thing", &written));
    fw::Variant read;
    ASSERT_EQ(S_OK, bag->Read(L"Thing", &read, nullptr));
    ASSERT_EQ(VT_UNKNOWN, read.vt);
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<IPropertyBag*>(inner.Get())), read.punkVal);
}

}  // namespace
