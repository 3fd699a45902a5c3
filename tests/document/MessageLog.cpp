#include "DocumentFixture.h"

int MessageCount() {
    return static_cast<int>(KelGetMessageBoxes().size());
}

CString LastMessage() {
    const auto& boxes = KelGetMessageBoxes();
    return boxes.empty() ? CString() : boxes.back().strText;
}
