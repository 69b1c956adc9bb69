' Pendrake demo: sends one message to a syslog server and writes one event log entry.
'   cscript //nologo demo.vbs [server [port]]
' The server defaults to 127.0.0.1 and the port to 0 (the syslog service port, usually 514).
' Wine's script host prints nothing for an unhandled error, so every step is checked here.
Option Explicit
On Error Resume Next

' Values of the component's type library; VBScript cannot import them by itself.
Const pkLOG_LOCAL1 = 17
Const pkLOG_INFO = 6
Const pkEVENTLOG_INFORMATION_TYPE = 4

Dim server, port, logger, failures
failures = 0
server = "127.0.0.1"
port = 0
If WScript.Arguments.Count >= 1 Then server = WScript.Arguments.Item(0)
If WScript.Arguments.Count >= 2 Then port = WScript.Arguments.Item(1)

Sub Step(what)
  If Err.Number <> 0 Then
    WScript.Echo "FAILED: " & what & " (error " & Err.Number & ": " & Err.Description & ")"
    failures = failures + 1
    Err.Clear
  Else
    WScript.Echo "ok: " & what
  End If
End Sub

Set logger = CreateObject("Orvelle.Pendrake")
If Err.Number <> 0 Then
  WScript.Echo "FAILED: CreateObject(""Orvelle.Pendrake"") (error " & Err.Number & ": " & Err.Description & ")"
  WScript.Echo "Is Pendrake.dll registered? regsvr32 Pendrake.dll"
  WScript.Quit 2
End If
Step "created Orvelle.Pendrake"

logger.SyslogServer = server
Step "SyslogServer = " & logger.SyslogServer
logger.SyslogPort = port
Step "SyslogPort = " & logger.SyslogPort
logger.SyslogFacility = pkLOG_LOCAL1
Step "SyslogFacility = " & logger.SyslogFacility & " (local1)"
logger.SyslogPriority = pkLOG_INFO
Step "SyslogPriority = " & logger.SyslogPriority & " (informational)"
logger.LogToSyslog "Pendrake demo: hello, syslog"
Step "LogToSyslog ""Pendrake demo: hello, syslog"" (PRI " & (logger.SyslogFacility * 8 + logger.SyslogPriority) & ")"

logger.EventLogSource = "Orvelle Pendrake"
Step "EventLogSource = " & logger.EventLogSource
logger.EventLogType = pkEVENTLOG_INFORMATION_TYPE
Step "EventLogType = " & logger.EventLogType & " (information)"
logger.EventLogID = 1000
Step "EventLogID = " & logger.EventLogID
logger.LogToEventLog "Pendrake demo: hello, event log"
Step "LogToEventLog ""Pendrake demo: hello, event log"""

Set logger = Nothing
If failures = 0 Then
  WScript.Echo "demo.vbs: all steps succeeded"
Else
  WScript.Echo "demo.vbs: " & failures & " step(s) failed"
End If
WScript.Quit failures
