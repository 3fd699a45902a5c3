// KEL-PENDING: dialog 2058 (placeholder until written).
#include "resources/LibraryModule.h"

void KelRegisterListTemplate(HINSTANCE) {}
