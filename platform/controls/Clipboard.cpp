#include "platform/controls/Clipboard.h"

#include <optional>

namespace {

std::optional<CString>& Slot() {
    static std::optional<CString> text;
    return text;
}

} // namespace

void KelSetClipboardText(LPCTSTR lpszText) {
    Slot() = CString(lpszText);
}

CString KelGetClipboardText() {
    return Slot().value_or(CString());
}

BOOL KelIsClipboardTextAvailable() {
    return Slot().has_value();
}

void KelEmptyClipboard() {
    Slot().reset();
}
