// Fixed identifiers of every control and menu item of PendrakeClient's windows. The GUI driver
// finds controls with GetDlgItem(window, id), so a number once given is never reused.
#pragma once

// ---- Main window (frmMain): 1000-1999 ----------------------------------------------------
// Menu items (posted as WM_COMMAND by the GUI driver).
#define IDM_FILE_OPTIONS 1001         // mnuFileOptions
#define IDM_HELP_ABOUT 1002           // mnuHelpAbout
#define IDM_HELP_MANUAL 1003          // mnuHelpManual

// Window frame.
#define IDC_SSTAB 1010                // tab control: tab 0 test page, tab 1 defaults page
#define IDC_PBOK 1011
#define IDC_PBCANCEL 1012
#define IDC_PBAPPLY 1013
#define IDC_STBMAIN 1014              // status bar

// Defaults page.
#define IDC_CHKENABLEDEFAULTS 1100
#define IDC_FRADEFAULTS 1101
#define IDC_FRASYSLOG 1102
#define IDC_FRANTEVEMTLOG 1103
#define IDC_LBLSYSLOGSERVER 1110
#define IDC_TXTSYSLOGSERVER 1111
#define IDC_LBLSYSLOGPORT 1112
#define IDC_TXTSYSLOGPORT 1113
#define IDC_LBLFACILITY 1114
#define IDC_CBFACILITY 1115
#define IDC_LBLPRIORITY 1116
#define IDC_CBPRIORITY 1117
#define IDC_LBLEVENTLOGCOMPUTER 1120
#define IDC_TXTEVENTLOGCOMPUTER 1121
#define IDC_LBLEVENTLOGSOURCE 1122
#define IDC_TXTEVENTLOGSOURCE 1123
#define IDC_LBLEVENTLOGTYPE 1124
#define IDC_CBEVENTLOGTYPE 1125
#define IDC_LBLEVENTLOGID 1126
#define IDC_TXTEVENTLOGID 1127

// Test page.
#define IDC_FRATESTSYSLOG 1200
#define IDC_LBLTESTSYSLOGSERVER 1201
#define IDC_TXTTESTSYSLOGSERVER 1202
#define IDC_LBLTESTSYSLOGPORT 1203
#define IDC_TXTTESTSYSLOGPORT 1204
#define IDC_LBLTESTFACILITY 1205
#define IDC_CBTESTFACILITY 1206
#define IDC_LBLTESTPRIORITY 1207
#define IDC_CBTESTPRIORITY 1208
#define IDC_LBLTESTMSG 1209
#define IDC_TXTTESTSYSLOGMSG 1210
#define IDC_CMDLOGTOSYSLOG 1211
#define IDC_CMDGENSYSLOGSCRIPT 1212
#define IDC_FRATESTNTEVENTLOG 1220
#define IDC_LBLTESTEVENTLOGCOMPUTER 1221
#define IDC_TXTTESTEVENTLOGCOMPUTER 1222
#define IDC_LBLTESTEVENTLOGSOURCE 1223  // lbltestEventLogSource
#define IDC_TXTTESTEVENTLOGSOURCE 1224
#define IDC_LBLTESTEVENTLOGTYPE 1225    // lbltestEventLogType
#define IDC_CBTESTEVENTLOGTYPE 1226
#define IDC_LBLTESTEVENTLOGID 1227
#define IDC_TXTTESTEVENTLOGID 1228
#define IDC_LBLTESTMESSAGE 1229
#define IDC_TXTTESTEVENTLOGMSG 1230
#define IDC_CMDLOGTOEVENTLOG 1231
#define IDC_CMDGENEVENTSCRIPT 1232

// Resources of the executable.
#define IDR_MAINMENU 100

// ---- Dialog windows (frmSplash, frmOptions, frmAbout): 2000 and up, owned by their unit ---
// First-run window (frmSplash).
#define IDC_SPLASH_FRAME1 2000
#define IDC_SPLASH_IMAGE1 2001
#define IDC_SPLASH_LBLPRODUCTNAME 2002
#define IDC_SPLASH_LINE1 2003
#define IDC_SPLASH_LBLCHOOSELANGUAGE 2004
#define IDC_SPLASH_LSLANGUAGE 2005        // list box; item data = item number
#define IDC_SPLASH_CMDSTART 2006
#define IDC_SPLASH_LBLFIRSTTIME 2007

// Options dialog (frmOptions).
#define IDC_OPTIONS_PCHEAD 2100
#define IDC_OPTIONS_LBLHEADERTEXT 2101
#define IDC_OPTIONS_HEADLINE 2102         // the edge under the header
#define IDC_OPTIONS_FRAMEOPTIONS 2103
#define IDC_OPTIONS_LBLLANGUAGE 2104
#define IDC_OPTIONS_LSLANGUAGE 2105       // list box; item data = item number
#define IDC_OPTIONS_CMDOK 2106
#define IDC_OPTIONS_CMDCANCEL 2107

// About box (frmAbout).
#define IDC_ABOUT_PICTURE 2200
#define IDC_ABOUT_LBLTITLE 2201
#define IDC_ABOUT_LBLVERSION 2202
#define IDC_ABOUT_LINE 2203
#define IDC_ABOUT_LBLMOREINFORMATIONAT 2204
#define IDC_ABOUT_LBLWWWORVELLECOM 2205   // the web link
#define IDC_ABOUT_CMDOK 2206
// ---- end of dialog windows block ---------------------------------------------------------
