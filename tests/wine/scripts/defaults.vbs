' A new object shows the settings it started with: name=value lines.
'   defaults.vbs [message]   with a message, also sends it with LogToSyslog.
Option Explicit
On Error Resume Next

Dim o
Set o = CreateObject("Orvelle.Pendrake")
If Err.Number <> 0 Then
  WScript.Echo "create=" & Err.Number
  WScript.Quit 2
End If
WScript.Echo "SyslogServer=" & o.SyslogServer
WScript.Echo "SyslogPort=" & o.SyslogPort
WScript.Echo "SyslogPriority=" & o.SyslogPriority
WScript.Echo "SyslogFacility=" & o.SyslogFacility
WScript.Echo "EventLogSource=" & o.EventLogSource
WScript.Echo "EventLogType=" & o.EventLogType
WScript.Echo "EventLogID=" & o.EventLogID
WScript.Echo "EventLogComputer=" & o.EventLogComputer
WScript.Echo "MessageToLog=" & o.MessageToLog
If WScript.Arguments.Count > 0 Then o.LogToSyslog WScript.Arguments.Item(0)
WScript.Echo "error=" & Err.Number
WScript.Quit 0
