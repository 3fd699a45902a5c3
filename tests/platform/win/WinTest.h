// Shared by the window-system tests: every test starts from an empty window system.
#pragma once

#include <afxwin.h>

#include <gtest/gtest.h>

class WinTest : public ::testing::Test {
protected:
    void SetUp() override { KelResetWindowSystem(); }
    void TearDown() override { KelResetWindowSystem(); }
};
