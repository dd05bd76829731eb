' Textpane created by ProgID in a script host: IO by late binding, errors for bad calls.
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

Set pane = CreateObject("Textpane.TextpaneCtrl.10")
On Error Resume Next
pane.IO "Hello" & vbCr & vbLf
Check "IO with text", Err.Number, 0
Err.Clear
pane.IO 42
Check "IO with a number (coerced to text)", Err.Number, 0
Err.Clear
pane.IO String(100000, "x")
Check "IO with 100000 characters", Err.Number, 0
Err.Clear
pane.IO
Check "IO without its argument", Err.Number, 450
Err.Clear
pane.IO "a", "b"
Check "IO with two arguments", Err.Number, 450
Err.Clear
pane.IO Array(1, 2)
Check "IO with an array", Err.Number, 13
Err.Clear
pane.NoSuchMethod
Check "unknown member", Err.Number, 438
Err.Clear
Check "Font name", pane.Font.Name <> "", True
WScript.Echo passed & " passed, " & failed & " failed"
