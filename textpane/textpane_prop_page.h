// CTextpanePropPage: the control's registered "General" page; it has no controls.
#pragma once
#include "property_page.h"

class CTextpanePropPage : public fw::PropertyPage {
public:
    static HRESULT Create(REFIID iid, void** out);
    static HRESULT UpdateRegistry(bool registering);

    CTextpanePropPage();
};

extern const CLSID CLSID_TextpanePropPage;
