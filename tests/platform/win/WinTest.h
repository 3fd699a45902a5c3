// Shared by the window-system tests: every test starts from an empty window system.
#pragma once

#include <afxwin.h>

#include <gtest/gtest.h>

#include <ostream>

// Rectangles and points print as their coordinates in failure messages.
inline void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
inline void PrintTo(const CPoint& p, std::ostream* os) {
    *os << "(" << p.x << "," << p.y << ")";
}

class WinTest : public ::testing::Test {
protected:
    void SetUp() override { KelResetWindowSystem(); }
    void TearDown() override { KelResetWindowSystem(); }
};
