// Resource identifiers of MSComm32.ocx (shared by the resource script and the code).
#pragma once

#define IDS_MSCOMM_TYPE_NAME    1    // the control's type name, used for registration
#define IDB_MSCOMM              1    // the toolbox image named by the registration
#define IDR_MSCOMM_TYPELIB      1    // type library resource id, as LoadTypeLib expects it
