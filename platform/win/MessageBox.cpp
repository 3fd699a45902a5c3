#include "platform/win/MessageBox.h"

#include "platform/win/MessageBoxWnd.h"
#include "platform/win/WindowManager.h"

#include <algorithm>

namespace {

std::vector<KelMessageBoxRecord>& Records() {
    static std::vector<KelMessageBoxRecord> records;
    return records;
}

std::vector<UINT>& Beeps() {
    static std::vector<UINT> beeps;
    return beeps;
}

int g_answer = 0;
std::function<int(const KelMessageBoxRecord&)>& Handler() {
    static std::function<int(const KelMessageBoxRecord&)> handler;
    return handler;
}

// Framework exceptions report through the message box from the start, before any
// application object exists.
const bool g_reportHook = [] {
    AfxSetReportErrorHook(
        [](LPCTSTR lpszText, UINT nType) { return AfxMessageBox(lpszText, nType); });
    return true;
}();

} // namespace

std::vector<int> KelMessageBoxButtons(UINT nType) {
    switch (nType & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int KelDefaultMessageBoxButton(UINT nType) {
    const std::vector<int> buttons = KelMessageBoxButtons(nType);
    // A second or third button asked of a box with fewer is its last; an unknown one the first.
    const size_t def = (nType & MB_DEFMASK) >> 8;
    return buttons[def > 2 ? 0 : std::min(def, buttons.size() - 1)];
}

int KelShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType,
                      UINT nIDHelp) {
    KelMessageBoxRecord record{lpszText ? lpszText : "",
                               lpszCaption ? lpszCaption : "Error",
                               nType,
                               nIDHelp,
                               hWndOwner,
                               0};
    kel::win::WindowManager& m = kel::win::WindowManager::Get();
    if (m.GetBackend().IsInteractive()) {
        record.nResult =
            KelRunMessageBoxWindow(hWndOwner, record.strText, record.strCaption, nType);
    } else if (Handler()) {
        record.nResult = Handler()(record);
    } else {
        record.nResult = g_answer != 0 ? g_answer : KelDefaultMessageBoxButton(nType);
    }
    Records().push_back(record);
    return record.nResult;
}

int MessageBox(HWND hWnd, LPCTSTR lpText, LPCTSTR lpCaption, UINT uType) {
    return KelShowMessageBox(hWnd, lpText, lpCaption, uType, 0);
}

BOOL MessageBeep(UINT uType) {
    Beeps().push_back(uType);
    kel::win::WindowManager::Get().GetBackend().Beep(uType);
    return TRUE;
}

const std::vector<KelMessageBoxRecord>& KelGetMessageBoxes() {
    return Records();
}
void KelClearMessageBoxes() {
    Records().clear();
}
void KelSetMessageBoxAnswer(int nResult) {
    g_answer = nResult;
}
void KelSetMessageBoxHandler(std::function<int(const KelMessageBoxRecord&)> handler) {
    Handler() = std::move(handler);
}
const std::vector<UINT>& KelGetBeeps() {
    return Beeps();
}
void KelClearBeeps() {
    Beeps().clear();
}
