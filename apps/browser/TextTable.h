// A row window printed as a plain text table: a header line, a rule, one line per row.
#pragma once

#include <KelRSList.h>

#include <cstdio>

struct TextColumn {
    CString strCaption;
    int nWidth;  // in characters
    BOOL bRight; // right-aligned (numbers)
};

// Prints the first nRows rows of the window; over-long cells end in "~".
void PrintTable(std::FILE* out, const CArray<TextColumn, TextColumn&>& columns,
                const CArray<CStringArray, CStringArray>& rows, int nRows);
