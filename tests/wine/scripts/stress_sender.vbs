' One of many processes logging at once.
'   stress_sender.vbs syslog|eventlog mark count [server port]
' Sends or writes "<mark> <n>" for n = 1..count through one object, counts every call that
' raised an error, and ends with the line "done <mark> calls=<count> errors=<e>": a process
' whose script never ran, or stopped half way, lacks that line (Wine's cscript exits 0 even
' then). Exit code 0 when every call returned without error.
Option Explicit
On Error Resume Next

Dim o, args, mode, mark, count, i, errors
Set args = WScript.Arguments
mode = args(0)
mark = args(1)
count = CLng(args(2))
errors = 0
Set o = CreateObject("Orvelle.Pendrake")
If Err.Number <> 0 Then
  WScript.Echo "error " & mark & " CreateObject " & Hex(Err.Number) & " " & Err.Description
  WScript.Quit 2
End If
If mode = "syslog" Then
  o.SyslogServer = args(3)
  o.SyslogPort = CLng(args(4))
  If Err.Number <> 0 Then
    WScript.Echo "error " & mark & " settings " & Hex(Err.Number) & " " & Err.Description
    WScript.Quit 3
  End If
End If
For i = 1 To count
  If mode = "syslog" Then
    o.LogToSyslog mark & " " & i
  Else
    o.LogToEventLog mark & " " & i
  End If
  If Err.Number <> 0 Then
    errors = errors + 1
    If errors <= 3 Then WScript.Echo "error " & mark & " call " & i & " " & Hex(Err.Number) & " " & Err.Description
    Err.Clear
  End If
Next
WScript.Echo "done " & mark & " calls=" & count & " errors=" & errors
If errors > 0 Then WScript.Quit 1
WScript.Quit 0
