' Sends one message to a syslog server through Pendrake.
'   cscript //nologo syslog.vbs server message [port [facility [priority]]]
' facility 0..23 (16 = local0), priority 0..7 (5 = notice); port 0 = the syslog service port.
' Exit code 0 when the message was handed over, 1 on a bad argument, 2 without the component.
Option Explicit
On Error Resume Next

Dim args, logger
Set args = WScript.Arguments
If args.Count < 2 Then
  WScript.Echo "usage: cscript //nologo syslog.vbs server message [port [facility [priority]]]"
  WScript.Quit 1
End If

Set logger = CreateObject("Orvelle.Pendrake")
If Err.Number <> 0 Then
  WScript.Echo "cannot create Orvelle.Pendrake (error " & Err.Number & "); is Pendrake.dll registered?"
  WScript.Quit 2
End If

' The component ignores a facility or priority out of range; say so instead of sending
' with a value the user did not ask for.
Sub SetNumber(name, index, low, high)
  Dim value
  If args.Count <= index Then Exit Sub
  value = args.Item(index)
  If Not IsNumeric(value) Then
    WScript.Echo name & " must be a number: " & value
    WScript.Quit 1
  End If
  If CDbl(value) < low Or CDbl(value) > high Or CDbl(value) <> Fix(CDbl(value)) Then
    WScript.Echo name & " must be a whole number from " & low & " to " & high & ": " & value
    WScript.Quit 1
  End If
  Select Case name
    Case "port": logger.SyslogPort = CLng(value)
    Case "facility": logger.SyslogFacility = CLng(value)
    Case "priority": logger.SyslogPriority = CLng(value)
  End Select
  If Err.Number <> 0 Then
    WScript.Echo "setting " & name & " failed (error " & Err.Number & ")"
    WScript.Quit 1
  End If
End Sub

logger.SyslogServer = args.Item(0)
SetNumber "port", 2, 0, 65535
SetNumber "facility", 3, 0, 23
SetNumber "priority", 4, 0, 7
logger.LogToSyslog args.Item(1)
If Err.Number <> 0 Then
  WScript.Echo "LogToSyslog failed (error " & Err.Number & ")"
  WScript.Quit 1
End If
WScript.Echo "sent <" & (logger.SyslogFacility * 8 + logger.SyslogPriority) & ">" & args.Item(1) & _
  " to " & logger.SyslogServer & " port " & logger.SyslogPort
WScript.Quit 0
