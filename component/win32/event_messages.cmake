# Writes the message compiler's source for the component's message table: messages 0 to
# 65535, each of them the first insertion string and nothing else, so that the Event Viewer
# shows an entry's message as its description. Run as: cmake -DOUTPUT=<file.mc> -P <this file>
#
# An empty MessageId takes the previous one plus one, so every message after the first is
# the same text. The message compiler ends each text with its line end: "%1", the line feed
# and the terminator make 4 bytes, an entry of 8 with its header in an 8-bit (-A) table, 512 KB
# for all of them. "%1%0" would drop the line break but take 12 bytes an entry, 768 KB.
if(NOT OUTPUT)
  message(FATAL_ERROR "usage: cmake -DOUTPUT=<file.mc> -P event_messages.cmake")
endif()
set(first "MessageId=0\nLanguage=English\n%1\n.\n")
set(next "MessageId=\nLanguage=English\n%1\n.\n")
string(REPEAT "${next}" 65535 rest)
file(WRITE ${OUTPUT} "LanguageNames=(English=0x409:event_messages)\n\n${first}${rest}")
