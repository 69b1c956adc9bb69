// Sends one message to a syslog server through Pendrake, from JScript.
//   cscript //nologo syslog.js server message [port [facility [priority]]]
// facility 0..23 (16 = local0), priority 0..7 (5 = notice); port 0 = the syslog service port.
// Exit code 0 when the message was handed over, 1 on a bad argument, 2 without the component.
var args = WScript.Arguments;

function usage(text) {
  WScript.Echo(text);
  WScript.Quit(1);
}

// The component ignores a facility or priority out of range; refuse it here instead.
function wholeNumber(name, index, low, high) {
  var text = args.Item(index);
  if (!/^[0-9]+$/.test(text) || Number(text) < low || Number(text) > high)
    usage(name + " must be a whole number from " + low + " to " + high + ": " + text);
  return Number(text);
}

if (args.Count() < 2)
  usage("usage: cscript //nologo syslog.js server message [port [facility [priority]]]");

var logger;
try {
  logger = new ActiveXObject("Orvelle.Pendrake");
} catch (e) {
  WScript.Echo("cannot create Orvelle.Pendrake (error " + (e.number & 0xFFFF) + "); is Pendrake.dll registered?");
  WScript.Quit(2);
}

try {
  logger.SyslogServer = args.Item(0);
  if (args.Count() > 2) logger.SyslogPort = wholeNumber("port", 2, 0, 65535);
  if (args.Count() > 3) logger.SyslogFacility = wholeNumber("facility", 3, 0, 23);
  if (args.Count() > 4) logger.SyslogPriority = wholeNumber("priority", 4, 0, 7);
  logger.LogToSyslog(args.Item(1));
} catch (e) {
  WScript.Echo("sending failed (error " + (e.number & 0xFFFF) + ": " + e.description + ")");
  WScript.Quit(1);
}
WScript.Echo("sent <" + (logger.SyslogFacility * 8 + logger.SyslogPriority) + ">" + args.Item(1) +
             " to " + logger.SyslogServer + " port " + logger.SyslogPort);
WScript.Quit(0);
