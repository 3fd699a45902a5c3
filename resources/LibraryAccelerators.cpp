// Accelerator table 2054: the search bar's shortcuts in the view host, Alt+1 to Alt+5. The host
// installs it (for instance as its document template's accelerators).
#include "resources/LibraryModule.h"

#include "afxwin.h"

#include <vector>

void KelRegisterLibraryAccelerators(HINSTANCE hModule) {
    std::vector<ACCEL> table;
    for (WORD k = 0; k < 5; ++k)
        table.push_back(
            {FVIRTKEY | FALT | FNOINVERT, static_cast<WORD>('1' + k), static_cast<WORD>(5513 + k)});
    AfxSetResource(hModule, RT_ACCELERATOR, MAKEINTRESOURCE(2054), table);
}
