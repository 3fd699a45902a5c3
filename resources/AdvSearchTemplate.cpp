// KEL-PENDING: dialog 2053 (placeholder until written).
#include "resources/LibraryModule.h"

void KelRegisterAdvSearchTemplate(HINSTANCE) {}
