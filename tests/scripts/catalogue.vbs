' The component from VBScript: every creatable class by ProgID, error 429 for the
' others, the numbered errors as Err.Number with source and description through
' references the host hands over, and ProcessFolderRule through _CMergeRules.
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
host.ClearObjects

Dim name, thing
For Each name In Array("CMergeRules", "CMergeOptions", "CLogSetting", "CLogSettings", "CFolderRule", "CFolderRuleIterator")
    Err.Clear
    Set thing = CreateObject("K1MrgRls." & name)
    Check Err.Number = 0, "create K1MrgRls." & name & " (" & Err.Number & " " & Err.Description & ")"
    Check TypeName(thing) = "_" & name, "TypeName of K1MrgRls." & name & " is " & TypeName(thing)
    Set thing = Nothing
Next

' Registered but not creatable, and private classes without a ProgID.
For Each name In Array("CLogSettingsIterator", "CCategoryRuleIterator", "CObjectRuleIterator", "CObjectTypeRuleIterator", "CObjectRule", "CObjectList")
    Err.Clear
    Set thing = CreateObject("K1MrgRls." & name)
    Check Err.Number = 429, "K1MrgRls." & name & " gives error 429, got " & Err.Number
    Check thing Is Nothing, "and no object for K1MrgRls." & name
Next
Err.Clear

' The default interfaces are empty; the IKSQ members are reached through the
' references an early-bound host hands over.
Dim rules : Set rules = CreateObject("K1MrgRls.CMergeRules")
Dim store : Set store = host.AsInterface(rules, "{65EE6B1B-6964-430A-B2B3-EA9A7E68D6C7}")
Check Err.Number = 0, "IKSQMergeRules2 reference (" & Err.Description & ")"
Err.Clear
rules.SetObjectRule "A", 101, 4
Check Err.Number = 438, "the default interface has no SetObjectRule, got " & Err.Number
Err.Clear

store.SetObjectRule "A", 101, 4
Check Err.Number = 0, "SetObjectRule (" & Err.Description & ")"
store.SetObjectRule "A", 102, 5
Check Err.Number = 63602, "a second object rule: Err.Number 63602, got " & Err.Number
Check Err.Source = "CMergeRules", "its source is CMergeRules, got " & Err.Source
Check Err.Description = "An object rule already exists for object 'A'.", "its description, got " & Err.Description
Err.Clear

Dim options : Set options = host.AsInterface(CreateObject("K1MrgRls.CMergeOptions"), "{A610C3F9-A464-4B8D-8EB8-EFB40E3612C1}")
options.CopyACLOption = 3
Check Err.Number = 63604, "CopyACLOption 3: Err.Number 63604, got " & Err.Number
Check Err.Source = "CMergeOptions", "its source is CMergeOptions, got " & Err.Source
Check InStr(Err.Description, "'3'") > 0, "its description names the value, got " & Err.Description
Err.Clear
Check options.CopyACLOption = 1, "the rejected value is not stored"

Dim settings : Set settings = host.AsInterface(CreateObject("K1MrgRls.CLogSettings"), "{AF787160-60F6-11D5-BEB2-00C04F4F041C}")
Dim setting : Set setting = host.AsInterface(CreateObject("K1MrgRls.CLogSetting"), "{D02DB590-5F51-11D5-BEB1-00C04F4F041C}")
setting.LogFile = "a.log"
settings.Add setting
Check Err.Number = 0, "Add (" & Err.Description & ")"
settings.Add setting
Check Err.Number = 63609, "the same log file again: Err.Number 63609, got " & Err.Number
Check Err.Source = "CLogSettings", "its source is CLogSettings, got " & Err.Source
Check InStr(Err.Description, "a.log") > 0, "its description names the file, got " & Err.Description
Err.Clear

' Objects handed out by the component come as their IKSQ interface.
store.SetFolderRule "\Shared", 7
Dim walk : Set walk = store.CreateFolderRuleIterator()
Check walk.HasNext, "the folder rule iterator has the rule"
Check walk.Next().Path = "\Shared", "and hands out the rule with its path"
Check Err.Number = 0, "walking the folder rules (" & Err.Description & ")"
Err.Clear

' ProcessFolderRule through the default interface. A variable is passed as a
' reference to a Variant, which automation does not turn into the reference to a
' session that the member takes: type mismatch, and nothing done. In parentheses
' the session is passed as a value, which automation accepts.
host.AddItem "F1", "Shared", 8, 0, ""
host.AddItem "R1", "Report", 101, 0, "\Shared"
Dim session : Set session = host.CreateSession(False)
rules.ProcessFolderRule session
WScript.Echo "INFO: rules.ProcessFolderRule session -> Err.Number " & Err.Number & " (" & Err.Source & ": " & Err.Description & ")"
Check Err.Number = 13, "a session variable passed by reference: type mismatch, got " & Err.Number
Err.Clear
Check store.FindAction(host.FindObject("R1")) = 5, "and the folder rule is not applied yet"
rules.ProcessFolderRule (session)
WScript.Echo "INFO: rules.ProcessFolderRule (session) -> Err.Number " & Err.Number
Check Err.Number = 0, "the session passed as a value (" & Err.Number & " " & Err.Description & ")"
Err.Clear
Check TypeName(session) = "HostSession", "the session comes back unchanged, got " & TypeName(session)
Check store.FindAction(host.FindObject("R1")) = 7, "the folder rule reached the report: action " & store.FindAction(host.FindObject("R1"))
Check Err.Number = 0, "no error left over (" & Err.Number & " " & Err.Description & ")"

Set walk = Nothing
Set store = Nothing
Set rules = Nothing
Set options = Nothing
Set settings = Nothing
Set setting = Nothing
Set session = Nothing
host.ClearObjects
host.Reset

If failures = 0 Then
    WScript.Echo "PASS catalogue.vbs"
    WScript.Quit 0
End If
WScript.Quit 1
