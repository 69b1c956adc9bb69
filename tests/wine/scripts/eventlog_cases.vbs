' Writes one event log entry per case, each through a new object.
'   eventlog_cases.vbs case...   case = "type|id|source|computer|message"
' A field "-" leaves that property at its default; {hh} in a text stands for Chr(&Hhh).
' Prints reported=<count>; exit code 0 when every call returned without error.
Option Explicit
On Error Resume Next

Function Decode(text)
  Dim out, i, c
  out = ""
  i = 1
  Do While i <= Len(text)
    c = Mid(text, i, 1)
    If c = "{" And Mid(text, i + 3, 1) = "}" Then
      out = out & Chr(CLng("&H" & Mid(text, i + 1, 2)))
      i = i + 4
    Else
      out = out & c
      i = i + 1
    End If
  Loop
  Decode = out
End Function

Dim args, i, f, o, reported, failed
Set args = WScript.Arguments
reported = 0
failed = 0
For i = 0 To args.Count - 1
  f = Split(args.Item(i), "|", 5)
  Set o = CreateObject("Orvelle.Pendrake")
  If Err.Number <> 0 Then
    WScript.Echo "create=" & Err.Number
    WScript.Quit 2
  End If
  If f(0) <> "-" Then o.EventLogType = CLng(f(0))
  If f(1) <> "-" Then o.EventLogID = CLng(f(1))
  If f(2) <> "-" Then o.EventLogSource = Decode(f(2))
  If f(3) <> "-" Then o.EventLogComputer = Decode(f(3))
  o.LogToEventLog Decode(f(4))
  If Err.Number <> 0 Then
    WScript.Echo "error.case" & (i + 1) & "=" & Err.Number
    failed = failed + 1
    Err.Clear
  Else
    reported = reported + 1
  End If
  Set o = Nothing
Next
WScript.Echo "reported=" & reported
WScript.Quit failed
