// Inside the companions: the short text of a command or control ID. Not a public header.
#pragma once

#include "afx.h"

// The tip of string nID: the part after "\n" when the string has one (strings written
// "prompt\ntip"), else the whole string; empty when there is no such string.
CString KelCommandTip(UINT nID);
