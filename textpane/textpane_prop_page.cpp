// The registered, empty property page of the Textpane control.
#include "textpane_prop_page.h"
#include "registration.h"
#include "resource.h"

const CLSID CLSID_TextpanePropPage = {0x16C17BC5, 0x2508, 0x11D1, {0xA9, 0x5C, 0x00, 0x80, 0x5F, 0x6C, 0xFD, 0x10}};

namespace {
const char kPropPageProgId[] = "Textpane.TextpanePropPage.10";
}  // namespace

CTextpanePropPage::CTextpanePropPage() : fw::PropertyPage(IDD_TEXTPANE_PAGE, IDS_TEXTPANE_PAGE_CAPTION) {}

HRESULT CTextpanePropPage::Create(REFIID iid, void** out) { return fw::CreateInstance<CTextpanePropPage>(iid, out); }

HRESULT CTextpanePropPage::UpdateRegistry(bool registering) {
    if (!registering) return fw::UnregisterClassKeys(CLSID_TextpanePropPage, kPropPageProgId);
    const fw::ClassRegistration reg = {&CLSID_TextpanePropPage, kPropPageProgId, IDS_TEXTPANE_PAGE_NAME, "Apartment",
                                       false, false, 0, 0, nullptr};
    return fw::RegisterClassKeys(reg);
}
