// The grid's context menu: one popup of font sizes, the column configuration, the background
// and bars toggles, and refresh.
#include "resources/LibraryModule.h"

#include "platform/controls/MenuResource.h"

void KelRegisterLibraryMenus(HINSTANCE hModule) {
    AfxSetResource(
        hModule, RT_MENU, MAKEINTRESOURCE(2050),
        KelMenuResource{{KelMenuItem::Popup(
            "", {KelMenuItem::Popup("&Font Size", {KelMenuItem::Command("8", 22403),
                                                   KelMenuItem::Command("9", 22404),
                                                   KelMenuItem::Command("11", 22405),
                                                   KelMenuItem::Command("13", 22406)}),
                 KelMenuItem::Command("&Column Configuration...", 22407), KelMenuItem::Separator(),
                 KelMenuItem::Command("Show &Background", 22408),
                 KelMenuItem::Command("Show &ToolBar", 22400),
                 KelMenuItem::Command("Show &SearchBar", 22401), KelMenuItem::Separator(),
                 KelMenuItem::Command("&Refresh List", 22402)})}});
}
