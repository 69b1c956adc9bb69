<#
.SYNOPSIS
  Sends one message to a syslog server through the Pendrake COM component.
.EXAMPLE
  powershell -ExecutionPolicy Bypass -File syslog.ps1 -Server 192.0.2.10 -Message "backup finished" -Facility 16 -Priority 6
.EXAMPLE
  pwsh -ExecutionPolicy Bypass -File syslog.ps1 -Server 192.0.2.10 -Message "backup finished"
  The same with PowerShell 7.
.NOTES
  Pendrake.dll must be registered (regsvr32 Pendrake.dll) for the bitness of the PowerShell
  that runs this: a 64-bit PowerShell needs the x64 component, a 32-bit one
  (%windir%\SysWOW64\WindowsPowerShell\v1.0\powershell.exe) the x86.
#>
param(
  [Parameter(Mandatory = $true)][string] $Server,
  [Parameter(Mandatory = $true)][string] $Message,
  [ValidateRange(0, 65535)][int] $Port = 0,          # 0 = the syslog service port (514)
  [ValidateRange(0, 23)][int] $Facility = 16,        # local0
  [ValidateRange(0, 7)][int] $Priority = 5           # notice
)
$ErrorActionPreference = 'Stop'

$logger = New-Object -ComObject Orvelle.Pendrake
try {
  $logger.SyslogServer = $Server
  $logger.SyslogPort = $Port
  $logger.SyslogFacility = $Facility
  $logger.SyslogPriority = $Priority
  # The component reports success even when nothing could be sent (unknown host, no
  # network): a syslog datagram is never acknowledged.
  $logger.LogToSyslog($Message)
  "sent <{0}>{1} to {2} port {3}" -f ($Facility * 8 + $Priority), $Message, $Server, $Port
}
finally {
  [void][System.Runtime.InteropServices.Marshal]::ReleaseComObject($logger)
}
