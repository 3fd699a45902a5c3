#include "platform/controls/Clipboard.h"

#include "platform/win/Backend.h"

#include <optional>
#include <string>

namespace {

std::optional<CString>& Slot() {
    static std::optional<CString> text;
    return text;
}

} // namespace

void KelSetClipboardText(LPCTSTR lpszText) {
    if (kel::win::SystemClipboard* system = KelGetSystemClipboard()) {
        system->SetText(lpszText != nullptr ? lpszText : "");
        return;
    }
    Slot() = CString(lpszText);
}

BOOL KelGetClipboardText(CString& rText) {
    if (kel::win::SystemClipboard* system = KelGetSystemClipboard()) {
        std::string text;
        const bool got = system->GetText(text);
        rText = got ? CString(text.c_str()) : CString();
        return got;
    }
    rText = Slot().value_or(CString());
    return Slot().has_value();
}

CString KelGetClipboardText() {
    CString text;
    KelGetClipboardText(text);
    return text;
}

BOOL KelIsClipboardTextAvailable() {
    if (kel::win::SystemClipboard* system = KelGetSystemClipboard())
        return system->HasText();
    return Slot().has_value();
}

void KelEmptyClipboard() {
    if (kel::win::SystemClipboard* system = KelGetSystemClipboard()) {
        system->Empty();
        return;
    }
    Slot().reset();
}
