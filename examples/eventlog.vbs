' Writes one entry to the event log through Pendrake.
'   cscript //nologo eventlog.vbs message [type [id [source [computer]]]]
' type 0 success, 1 error, 2 warning, 4 information (default); id defaults to 0;
' source defaults to "Orvelle Pendrake"; computer defaults to this one.
' Exit code 0 when the entry was handed over, 1 on a bad argument, 2 without the component.
Option Explicit
On Error Resume Next

Dim args, logger, kind
Set args = WScript.Arguments
If args.Count < 1 Then
  WScript.Echo "usage: cscript //nologo eventlog.vbs message [type [id [source [computer]]]]"
  WScript.Quit 1
End If

Set logger = CreateObject("Orvelle.Pendrake")
If Err.Number <> 0 Then
  WScript.Echo "cannot create Orvelle.Pendrake (error " & Err.Number & "); is Pendrake.dll registered?"
  WScript.Quit 2
End If

If args.Count >= 2 Then
  kind = args.Item(1)
  If kind <> "0" And kind <> "1" And kind <> "2" And kind <> "4" Then
    WScript.Echo "type must be 0, 1, 2 or 4: " & kind
    WScript.Quit 1
  End If
  logger.EventLogType = CLng(kind)
End If
If args.Count >= 3 Then
  If Not IsNumeric(args.Item(2)) Then
    WScript.Echo "id must be a number: " & args.Item(2)
    WScript.Quit 1
  End If
  logger.EventLogID = CLng(args.Item(2))
End If
If args.Count >= 4 Then logger.EventLogSource = args.Item(3)
If args.Count >= 5 Then logger.EventLogComputer = args.Item(4)
If Err.Number <> 0 Then
  WScript.Echo "setting the properties failed (error " & Err.Number & ")"
  WScript.Quit 1
End If

logger.LogToEventLog args.Item(0)
If Err.Number <> 0 Then
  WScript.Echo "LogToEventLog failed (error " & Err.Number & ")"
  WScript.Quit 1
End If
WScript.Echo "reported type " & logger.EventLogType & ", id " & logger.EventLogID & _
  ", source """ & logger.EventLogSource & """: " & args.Item(0)
WScript.Quit 0
