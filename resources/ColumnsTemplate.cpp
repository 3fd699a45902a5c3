// KEL-PENDING: dialog 2052 (placeholder until written).
#include "resources/LibraryModule.h"

void KelRegisterColumnsTemplate(HINSTANCE) {}
