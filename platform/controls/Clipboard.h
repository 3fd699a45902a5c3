// The clipboard: text that edits cut, copy and paste. With a display backend it is the
// system's, shared with other programs; otherwise the process keeps its own.
#pragma once

#include "platform/core/String.h"

// Replaces the clipboard's text.
void KelSetClipboardText(LPCTSTR lpszText);
// The clipboard's text; empty when it holds none.
CString KelGetClipboardText();
// The clipboard's text into rText; FALSE (rText emptied) when it holds none or its holder did
// not give it in time.
BOOL KelGetClipboardText(CString& rText);
BOOL KelIsClipboardTextAvailable();
void KelEmptyClipboard();
