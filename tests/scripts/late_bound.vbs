' Late-bound use from VBScript: creation by ProgID, the refused iterator class,
' and the simulated host's record of the component's set-up and trace lines.
Option Explicit
Dim failures : failures = 0

Sub Check(condition, what)
    If Not condition Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

On Error Resume Next

Dim host : Set host = CreateObject("KSimHost.Control")
Check Err.Number = 0, "create the simulated host control (" & Err.Description & ")"
Err.Clear
host.Reset

Dim options : Set options = CreateObject("K1MrgRls.CMergeOptions")
Check Err.Number = 0, "create K1MrgRls.CMergeOptions (" & Err.Description & ")"
Err.Clear
Check TypeName(options) = "_CMergeOptions", "TypeName is the default interface, got " & TypeName(options)

Dim settings : Set settings = CreateObject("K1MrgRls.CLogSettings")
Check Err.Number = 0, "create K1MrgRls.CLogSettings"
Err.Clear
Dim setting : Set setting = CreateObject("K1MrgRls.CLogSetting")
Check Err.Number = 0, "create K1MrgRls.CLogSetting"
Err.Clear

Dim iterator : Set iterator = CreateObject("K1MrgRls.CLogSettingsIterator")
Check Err.Number <> 0, "K1MrgRls.CLogSettingsIterator must not be creatable"
Err.Clear

' The default interfaces are empty: their members are reached through the IKSQ interfaces.
Dim value : value = options.CopyACLOption
Check Err.Number = 438, "the default interface has no CopyACLOption (got " & Err.Number & ")"
Err.Clear

Dim lines : lines = Split(host.TraceText, vbLf)
Check Err.Number = 0, "read the trace text (" & Err.Description & ")"
Err.Clear
Check UBound(lines) = 4, "four trace lines (CLogSetting traces no creation), got " & UBound(lines)
Check lines(0) = "32|[%1][%2] Function Enter|CMergeOptions|Class_Initialize", "first line: " & lines(0)
Check lines(3) = "32|[%1][%2] Function Leave|CLogSettings|Class_Initialize", "fourth line: " & lines(3)
Check host.CallCount("TraceService.BindComponent") = 1, "one set-up on this thread"
Check Err.Number = 0, "no error left over (" & Err.Description & ")"

Set options = Nothing
Set settings = Nothing
Set setting = Nothing
host.Reset

If failures = 0 Then
    WScript.Echo "PASS late_bound.vbs"
    WScript.Quit 0
End If
WScript.Quit 1
