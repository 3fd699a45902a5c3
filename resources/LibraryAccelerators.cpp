// Accelerator table 2054: Alt+1 to Alt+5 give the search-bar commands 5513 to 5517. The host
// installs it (for instance as its document template's accelerators).
#include "resources/LibraryModule.h"

#include "afxwin.h"

#include <vector>

void KelRegisterLibraryAccelerators(HINSTANCE hModule) {
    std::vector<ACCEL> table;
    for (WORD n = 0; n < 5; ++n)
        table.push_back(ACCEL{FVIRTKEY | FALT | FNOINVERT, static_cast<WORD>('1' + n),
                              static_cast<WORD>(5513 + n)});
    AfxSetResource(hModule, RT_ACCELERATOR, MAKEINTRESOURCE(2054), table);
}
