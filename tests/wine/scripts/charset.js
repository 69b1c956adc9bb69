// JScript sends one datagram per case through one object, building the text from
// UTF-16 code units: charset.js port case...  where a case is hex code units joined by
// "." (empty case = empty text). Prints name=value lines; exit 0 when every call returned.
var args = WScript.Arguments;
var o;
try {
  o = new ActiveXObject("Orvelle.Pendrake");
} catch (e) {
  WScript.Echo("create=" + (e.number & 0xFFFF));
  WScript.Quit(2);
}
var failed = 0;
try {
  o.SyslogServer = "127.0.0.1";
  o.SyslogPort = args.Item(0);
  WScript.Echo("port=" + o.SyslogPort + "|" + typeof o.SyslogPort);
  WScript.Echo("server=" + o.SyslogServer);
} catch (e) {
  WScript.Echo("setup=" + (e.number & 0xFFFF));
  WScript.Quit(1);
}
for (var i = 1; i < args.Count(); i++) {
  var units = args.Item(i) === "" ? [] : args.Item(i).split(".");
  var text = "";
  for (var j = 0; j < units.length; j++) text += String.fromCharCode(parseInt(units[j], 16));
  try {
    o.LogToSyslog(text);
  } catch (e) {
    WScript.Echo("error.case" + i + "=" + (e.number & 0xFFFF));
    failed++;
  }
}
WScript.Echo("sent=" + (args.Count() - 1 - failed));
WScript.Quit(failed);
