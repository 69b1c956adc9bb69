' Late-bound property behaviour as a script sees it. Prints name=value lines; the driver
' holds the expectations. Exit code 0 when the script ran to its end, 2 without the object.
Option Explicit
On Error Resume Next

Dim o, v
Set o = CreateObject("Orvelle.Pendrake")
If Err.Number <> 0 Then
  WScript.Echo "create=" & Err.Number
  WScript.Quit 2
End If

' err=<number>,value=<text> after a put: what the caller saw and what was stored.
Sub Show(name, value)
  WScript.Echo name & "=" & Err.Number & "|" & value
  Err.Clear
End Sub

Sub ShowText(name, value)
  WScript.Echo name & "=" & Err.Number & "|" & TypeName(value) & "|" & Len(value) & "|" & value
  Err.Clear
End Sub

' Built-in defaults (the settings key holds no switched-on defaults here).
Show "default.SyslogPriority", o.SyslogPriority
Show "default.SyslogFacility", o.SyslogFacility
Show "default.SyslogPort", o.SyslogPort
Show "default.EventLogType", o.EventLogType
Show "default.EventLogID", o.EventLogID
ShowText "default.EventLogSource", o.EventLogSource
ShowText "default.SyslogServer", o.SyslogServer
ShowText "default.EventLogComputer", o.EventLogComputer
ShowText "default.MessageToLog", o.MessageToLog

' A number given as text is converted by the type information; a non-number is refused.
o.SyslogPort = "514"
Show "port.text514", o.SyslogPort
o.SyslogPort = "abc"
Show "port.textabc", o.SyslogPort
o.SyslogPort = 70000
Show "port.70000", o.SyslogPort
o.SyslogPort = -1
Show "port.minus1", o.SyslogPort

' Out of range puts are dropped silently; the ends of the range are kept.
o.SyslogPriority = 3
o.SyslogPriority = 8
Show "priority.8", o.SyslogPriority
o.SyslogPriority = -1
Show "priority.minus1", o.SyslogPriority
o.SyslogPriority = 0
Show "priority.0", o.SyslogPriority
o.SyslogPriority = 7
Show "priority.7", o.SyslogPriority
o.SyslogPriority = "6"
Show "priority.text6", o.SyslogPriority
o.SyslogFacility = 2
o.SyslogFacility = 24
Show "facility.24", o.SyslogFacility
o.SyslogFacility = -1
Show "facility.minus1", o.SyslogFacility
o.SyslogFacility = 23
Show "facility.23", o.SyslogFacility
o.SyslogFacility = 0
Show "facility.0", o.SyslogFacility

' Event values are stored as given; the writer narrows them.
o.EventLogType = 3
Show "type.3", o.EventLogType
o.EventLogType = 65540
Show "type.65540", o.EventLogType
o.EventLogID = -1
Show "id.minus1", o.EventLogID

' Member names are matched without regard to case.
o.syslogserver = "127.0.0.1"
ShowText "case.syslogserver", o.SYSLOGSERVER
o.SYSLOGPORT = 1468
Show "case.SYSLOGPORT", o.sYsLoGpOrT
o.eventlogsource = "Case Source"
ShowText "case.eventlogsource", o.EventLogSource

' Texts: stored up to the first NUL; the empty text stays a text.
o.MessageToLog = "ab" & Chr(0) & "cd"
ShowText "text.embedded_nul", o.MessageToLog
o.MessageToLog = ""
ShowText "text.empty", o.MessageToLog
o.EventLogComputer = String(300, "c")
ShowText "text.long", o.EventLogComputer
o.SyslogServer = "quote"" back\slash"
ShowText "text.specials", o.SyslogServer

' Members that do not exist, and a method called without its argument.
v = o.NoSuchMember
Show "member.unknown", ""
o.LogToSyslog
Show "method.missing_argument", ""

' The versioned ProgID creates the same class, starting from the defaults again.
Dim o1
Set o1 = CreateObject("Orvelle.Pendrake.1")
Show "progid.versioned", o1.SyslogFacility
Set o1 = Nothing
Set o = Nothing
WScript.Echo "end=0"
WScript.Quit 0
