// KEL-PENDING: accelerators 2054 (placeholder until written).
#include "resources/LibraryModule.h"

void KelRegisterLibraryAccelerators(HINSTANCE) {}
