// KEL-PENDING: menu 2050 (placeholder until written).
#include "resources/LibraryModule.h"

void KelRegisterLibraryMenus(HINSTANCE) {}
