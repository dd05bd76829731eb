// Resource ids of Portlex.ocx, shared by the resource script and the code.
#pragma once

// Strings: the user type name and the terminal window captions.
#define IDS_PORTLEX                 1
#define IDS_TEXTPANE_CONNECTED      3
#define IDS_TEXTPANE_DISCONNECTED   4

// Message texts shown in the error window.
#define IDS_ERROR_STATUS            401
#define IDS_TELVORA_NOT_FOUND       402
#define IDS_SERVICE_NOT_DEFINED     403
#define IDS_NO_MEMORY               404
#define IDS_RECEIVE_OVERFLOW        405
#define IDS_NO_CAP32                406
#define IDS_NO_TEXTPANE_THREAD      409
#define IDS_NO_TEXTPANE_DIALOG      410
#define IDS_BREVANT_CREATE          411
#define IDS_BREVANT_OPEN            412
#define IDS_BREVANT_PARAMETERS      413
#define IDS_NO_RESENDING_THREAD     416
#define IDS_NO_RESENDING_DIALOG     417
#define IDS_COMMUNICATION_CLEARED   418

// Icons: idle picture, activity frames, error sign.
#define IDI_PORTLEX                 1
#define IDI_ACTIVITY1               302
#define IDI_ACTIVITY2               303
#define IDI_ACTIVITY3               304
#define IDI_ACTIVITY4               305
#define IDI_ERROR_SIGN                 219

#define IDB_PORTLEX                 1

// Dialogs and their controls.
#define IDD_ABOUTBOX_PORTLEX        1
#define IDD_TEXTPANE_HOST           210
#define IDC_TEXTPANE_DESTROY        210
#define IDC_TEXTPANE                502
#define IDD_MSCOMM_HOST             212
#define IDC_MSCOMM                  501
#define IDD_ERROR_MESSAGE           216
#define IDC_ERROR_COUNTDOWN         214
#define IDC_ERROR_TEXT              215

// Resource type of a dialog's control initialisation data.
#define RT_PORTLEX_DLGINIT          240
