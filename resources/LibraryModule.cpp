#include "resources/LibraryModule.h"

HINSTANCE KelGetLibraryModule() {
    static HINSTANCE hModule = [] {
        HINSTANCE h = AfxRegisterModule(KELRSLIST_MODULE_NAME, afxExtensionModule);
        KelRegisterLibraryStrings(h);
        KelRegisterLibraryBitmaps(h);
        KelRegisterLibraryMenus(h);
        KelRegisterLibraryAccelerators(h);
        KelRegisterSearchBarTemplate(h);
        KelRegisterColumnsTemplate(h);
        KelRegisterAdvSearchTemplate(h);
        KelRegisterListTemplate(h);
        return h;
    }();
    return hModule;
}

namespace {

// Loading the library joins its resources to the host's chain, as an extension module does.
const HINSTANCE g_registered = KelGetLibraryModule();

} // namespace
