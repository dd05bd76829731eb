' Portlex created by ProgID in a script host: Version, SetCheckIncoming, Open and Close of
' the Winsock service (no network traffic) and of Telvora without its library, bad calls.
Dim passed, failed
passed = 0 : failed = 0
Sub Check(name, actual, expected)
  If actual = expected Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAIL " & name & ": expected " & expected & ", got " & actual
  End If
End Sub

Set px = CreateObject("PORTLEX.PortlexCtrl.1")
On Error Resume Next
Check "Version", px.Version(), 196612

' One BOOL by late binding: VBScript's Boolean and its small integers alike.
For Each flag In Array(True, False, 1, 0)
  Err.Clear
  px.SetCheckIncoming flag
  Check "SetCheckIncoming " & flag, Err.Number, 0
Next

' No timed message window: failures are only returned.
Err.Clear
px.SetMessageTimer 0
Check "SetMessageTimer 0", Err.Number, 0
Check "Open Winsock", px.Open("Winsock"), 0
Check "second Open", px.Open("Winsock"), -9
Check "Close", px.Close(), 0
' The socket layer's clean-up fails the second time.
Check "second Close", px.Close(), -1
' An empty service name is Telvora; Cap32.dll is not beside the script host.
Check "Open of an empty service", px.Open(""), -9
Check "Close after a failed Open", px.Close(), 0
Check "no error raised by the calls above", Err.Number, 0

Dim result
Err.Clear
result = px.Open()
Check "Open without its argument", Err.Number, 450
Err.Clear
result = px.Open("Winsock", "extra")
Check "Open with two arguments", Err.Number, 450
Err.Clear
result = px.Close(1)
Check "Close with an argument", Err.Number, 450
Err.Clear
px.SetCheckIncoming
Check "SetCheckIncoming without its argument", Err.Number, 450
Err.Clear
px.SetMessageTimer "eight"
Check "SetMessageTimer with text", Err.Number, 13
Err.Clear
px.SetCheckIncoming "maybe"
Check "SetCheckIncoming with text", Err.Number, 13
Err.Clear
WScript.Echo passed & " passed, " & failed & " failed"
