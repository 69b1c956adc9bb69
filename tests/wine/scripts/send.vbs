' Sends a series of syslog messages through one object.
'   send.vbs server port case...
' A case is "facility,priority,kind,payload": facility and priority are set when not "-";
' kind "text" sends the payload with {hh} standing for the character Chr(&Hhh),
' kind "repeat" sends the payload's number of "x". Prints sent=<count>; exit code 0 when
' every call returned without error.
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

Dim o, args, i, parts, message, sent, failed
Set args = WScript.Arguments
Set o = CreateObject("Orvelle.Pendrake")
If Err.Number <> 0 Then
  WScript.Echo "create=" & Err.Number
  WScript.Quit 2
End If
o.SyslogServer = args.Item(0)
o.SyslogPort = args.Item(1)
sent = 0
failed = 0
For i = 2 To args.Count - 1
  parts = Split(args.Item(i), ",", 4)
  If parts(0) <> "-" Then o.SyslogFacility = CLng(parts(0))
  If parts(1) <> "-" Then o.SyslogPriority = CLng(parts(1))
  If parts(2) = "repeat" Then
    message = String(CLng(parts(3)), "x")
  Else
    message = Decode(parts(3))
  End If
  o.LogToSyslog message
  If Err.Number <> 0 Then
    WScript.Echo "error.case" & (i - 1) & "=" & Err.Number
    failed = failed + 1
    Err.Clear
  Else
    sent = sent + 1
  End If
Next
WScript.Echo "sent=" & sent
WScript.Quit failed
