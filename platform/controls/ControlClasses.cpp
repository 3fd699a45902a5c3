#include "platform/controls/ControlClasses.h"

#include "platform/controls/CommCtrlDefs.h"
#include "platform/controls/MenuDefs.h"
#include "platform/controls/NativeControl.h"

#include "platform/win/Wnd.h"

// Programs that link the controls keep this file (the link names this symbol), so that its
// registration runs before main.
extern "C" {
extern const int kel_controls_anchor;
const int kel_controls_anchor = 1;
}

void KelRegisterControlClasses() {
    static bool done = false;
    if (done)
        return;
    done = true;
    using namespace kel::ctl;
    struct Entry {
        LPCTSTR name;
        WNDPROC proc;
        UINT style;
        LPCTSTR cursor;
    };
    const Entry classes[] = {
        {WC_BUTTON, ButtonWndProc(), CS_DBLCLKS | CS_PARENTDC, IDC_ARROW},
        {WC_STATIC, StaticWndProc(), CS_DBLCLKS | CS_PARENTDC, IDC_ARROW},
        {WC_EDIT, EditWndProc(), CS_DBLCLKS | CS_PARENTDC, IDC_IBEAM},
        {WC_LISTBOX, ListBoxWndProc(), CS_DBLCLKS | CS_PARENTDC, IDC_ARROW},
        {"ComboLBox", ComboLBoxWndProc(), CS_DBLCLKS | CS_SAVEBITS, IDC_ARROW},
        {WC_COMBOBOX, ComboBoxWndProc(), CS_DBLCLKS | CS_PARENTDC, IDC_ARROW},
        {WC_SCROLLBAR, ScrollBarWndProc(), CS_DBLCLKS | CS_PARENTDC, IDC_ARROW},
        {WC_HEADER, HeaderWndProc(), CS_DBLCLKS, IDC_ARROW},
        {TOOLTIPS_CLASS, ToolTipWndProc(), CS_SAVEBITS, IDC_ARROW},
        {TOOLBARCLASSNAME, ToolbarWndProc(), CS_DBLCLKS, IDC_ARROW},
        {KEL_MENU_CLASS, MenuWndProc(), CS_SAVEBITS | CS_DBLCLKS, IDC_ARROW},
    };
    for (const Entry& e : classes) {
        WNDCLASS wc{};
        wc.style = e.style;
        wc.lpfnWndProc = e.proc;
        wc.hCursor = ::LoadCursor(nullptr, e.cursor);
        wc.lpszClassName = e.name;
        AfxRegisterClass(&wc);
    }
}

namespace {
struct Registrar {
    Registrar() { KelRegisterControlClasses(); }
};
const Registrar g_registrar;
} // namespace
