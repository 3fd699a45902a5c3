// KEL-PENDING: dialog 2051 (placeholder until written).
#include "resources/LibraryModule.h"

void KelRegisterSearchBarTemplate(HINSTANCE) {}
