// FillComboBox: fills a combo box from a list of text and number pairs,
// "text~number~text~number~..." with the separator given: each text becomes an entry, in
// order, with its number as item data. An empty text is an entry like any other
// ("~-2~Containing~0" gives an empty entry with -2, then "Containing" with 0); one separator
// at the very end is allowed.
//
// Flags: FCB_RESETCONTENT (1) empties the list first, so that filling again does not repeat
// the entries. The answer is the number of entries added, or CB_ERR with the list unchanged
// for a missing combo box or a list that is not such pairs (a text without its number, a
// number that is not a whole number in the range of an int).
#pragma once

#include "afxwin.h"

#define FCB_RESETCONTENT 0x0001

int FillComboBox(CComboBox* pComboBox, CString strList, int nFlags, char chSeparator);
