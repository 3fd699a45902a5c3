// The data of a dialog template: what a module registers under RT_DIALOG with
// AfxSetResource(hModule, RT_DIALOG, MAKEINTRESOURCE(id), KelDialogTemplate{...}) and dialogs
// are built from. Rectangles are in dialog units of the template's font. Written compactly
// with the helpers named after the resource statements:
//
//   KelDialogTemplate{"Columns", DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
//                     0, 0, 274, 156, {
//       KelDialogItem::GroupBox("Columns configuration", -1, 7, 4, 260, 127),
//       KelDialogItem::ListBox(5123, 18, 32, 100, 91, LBS_MULTIPLESEL | WS_VSCROLL),
//       KelDialogItem::DefPushButton("OK", IDOK, 84, 137, 50, 14),
//   }}
#pragma once

#include "platform/controls/ControlDefs.h"
#include "platform/core/String.h"
#include "platform/win/WindowStyles.h"

#include <initializer_list>
#include <vector>

struct KelDialogItem {
    CString strClass; // "BUTTON", "EDIT", "STATIC", "LISTBOX", "COMBOBOX", "SCROLLBAR", ...
    CString strText;
    int nID = 0;
    DWORD dwStyle = 0; // WS_CHILD is always added
    DWORD dwExStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;

    // Any class, with exactly the style given (and WS_CHILD).
    static KelDialogItem Control(LPCTSTR text, int id, LPCTSTR cls, DWORD style, int x, int y,
                                 int cx, int cy, DWORD exStyle = 0) {
        return KelDialogItem{cls, text, id, style, exStyle, x, y, cx, cy};
    }
    // The resource statements: their default styles (visible; tab stops on what takes input)
    // and the extra styles given.
    static KelDialogItem PushButton(LPCTSTR text, int id, int x, int y, int cx, int cy,
                                    DWORD style = 0) {
        return Control(text, id, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | style, x, y,
                       cx, cy);
    }
    static KelDialogItem DefPushButton(LPCTSTR text, int id, int x, int y, int cx, int cy,
                                       DWORD style = 0) {
        return Control(text, id, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | style, x, y,
                       cx, cy);
    }
    static KelDialogItem CheckBox(LPCTSTR text, int id, int x, int y, int cx, int cy,
                                  DWORD style = 0) {
        return Control(text, id, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | style, x, y,
                       cx, cy);
    }
    static KelDialogItem RadioButton(LPCTSTR text, int id, int x, int y, int cx, int cy,
                                     DWORD style = 0) {
        return Control(text, id, "BUTTON", WS_VISIBLE | BS_AUTORADIOBUTTON | style, x, y, cx, cy);
    }
    static KelDialogItem GroupBox(LPCTSTR text, int id, int x, int y, int cx, int cy,
                                  DWORD style = 0) {
        return Control(text, id, "BUTTON", WS_VISIBLE | BS_GROUPBOX | style, x, y, cx, cy);
    }
    static KelDialogItem LText(LPCTSTR text, int id, int x, int y, int cx, int cy,
                               DWORD style = 0) {
        return Control(text, id, "STATIC", WS_VISIBLE | WS_GROUP | SS_LEFT | style, x, y, cx, cy);
    }
    static KelDialogItem CText(LPCTSTR text, int id, int x, int y, int cx, int cy,
                               DWORD style = 0) {
        return Control(text, id, "STATIC", WS_VISIBLE | WS_GROUP | SS_CENTER | style, x, y, cx, cy);
    }
    static KelDialogItem RText(LPCTSTR text, int id, int x, int y, int cx, int cy,
                               DWORD style = 0) {
        return Control(text, id, "STATIC", WS_VISIBLE | WS_GROUP | SS_RIGHT | style, x, y, cx, cy);
    }
    static KelDialogItem EditText(int id, int x, int y, int cx, int cy, DWORD style = 0) {
        return Control("", id, "EDIT", WS_VISIBLE | WS_TABSTOP | WS_BORDER | style, x, y, cx, cy);
    }
    static KelDialogItem ComboBox(int id, int x, int y, int cx, int cy, DWORD style = 0) {
        return Control("", id, "COMBOBOX", WS_VISIBLE | WS_TABSTOP | style, x, y, cx, cy);
    }
    static KelDialogItem ListBox(int id, int x, int y, int cx, int cy, DWORD style = 0) {
        return Control("", id, "LISTBOX", WS_VISIBLE | WS_TABSTOP | WS_BORDER | LBS_NOTIFY | style,
                       x, y, cx, cy);
    }
    static KelDialogItem ScrollBar(int id, int x, int y, int cx, int cy, DWORD style = 0) {
        return Control("", id, "SCROLLBAR", WS_VISIBLE | style, x, y, cx, cy);
    }
};

struct KelDialogTemplate {
    KelDialogTemplate() = default;
    KelDialogTemplate(LPCTSTR caption, DWORD style, int x_, int y_, int cx_, int cy_,
                      std::initializer_list<KelDialogItem> items_,
                      LPCTSTR faceName = "MS Sans Serif", WORD pointSize = 8, DWORD exStyle = 0)
        : strCaption(caption), dwStyle(style), x(x_), y(y_), cx(cx_), cy(cy_), items(items_),
          strFaceName(faceName), wPointSize(pointSize), dwExStyle(exStyle) {}

    CString strCaption;
    DWORD dwStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    std::vector<KelDialogItem> items;
    CString strFaceName = "MS Sans Serif";
    WORD wPointSize = 8;
    DWORD dwExStyle = 0;
    CString strClass; // empty: the dialog class
};
