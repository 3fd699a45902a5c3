// The clipboard of the process: text that edits cut, copy and paste. It does not reach other
// programs.
#pragma once

#include "platform/core/String.h"

// Replaces the clipboard's text.
void KelSetClipboardText(LPCTSTR lpszText);
// The clipboard's text; empty when it holds none.
CString KelGetClipboardText();
BOOL KelIsClipboardTextAvailable();
void KelEmptyClipboard();
