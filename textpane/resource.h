// Resource identifiers of Textpane.ocx (shared by the resource script and the code).
#pragma once

// Strings
#define IDS_TEXTPANE_TYPE_NAME      1    // the control's type name, used for registration
#define IDS_TEXTPANE_PAGE_NAME      2    // the property page's registered name
#define IDS_TEXTPANE_PAGE_CAPTION   100  // the property page's tab caption

// Dialogs
#define IDD_TEXTPANE_ABOUT          1
#define IDD_TEXTPANE_PAGE           100

// Images
#define IDI_TEXTPANE                1    // the control's icon, also shown in the about box
#define IDB_TEXTPANE                1    // the toolbox image named by the registration

// Type library resource id, as LoadTypeLib expects it for a module path.
#define IDR_TEXTPANE_TYPELIB        1
