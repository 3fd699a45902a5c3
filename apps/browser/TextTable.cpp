#include "TextTable.h"

#include <string>

namespace {

// Characters, not bytes: the sample data has UTF-8 city names.
int DisplayLength(const std::string& s) {
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

// The first nChars characters of s.
std::string TakeChars(const std::string& s, int nChars) {
    size_t i = 0;
    int n = 0;
    while (i < s.size()) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == nChars)
                break;
            ++n;
        }
        ++i;
    }
    return s.substr(0, i);
}

std::string Cell(const std::string& text, int nWidth, bool bRight) {
    std::string s = text;
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    if (DisplayLength(s) > nWidth)
        s = TakeChars(s, nWidth - 1) + "~";
    std::string pad(static_cast<size_t>(nWidth - DisplayLength(s)), ' ');
    return bRight ? pad + s : s + pad;
}

} // namespace

void PrintTable(std::FILE* out, const CArray<TextColumn, TextColumn&>& columns,
                const CArray<CStringArray, CStringArray>& rows, int nRows) {
    std::string header, rule;
    for (INT_PTR c = 0; c < columns.GetSize(); ++c) {
        const TextColumn& col = columns[c];
        header += (c ? " | " : "") + Cell(col.strCaption.str(), col.nWidth, col.bRight);
        rule += (c ? "-+-" : "") + std::string(static_cast<size_t>(col.nWidth), '-');
    }
    while (!header.empty() && header.back() == ' ')
        header.pop_back();
    std::fprintf(out, "  %s\n  %s\n", header.c_str(), rule.c_str());
    for (int r = 0; r < nRows && r < rows.GetSize(); ++r) {
        std::string line;
        for (INT_PTR c = 0; c < columns.GetSize(); ++c) {
            const CString text = c < rows[r].GetSize() ? rows[r][c] : CString();
            line += (c ? " | " : "") + Cell(text.str(), columns[c].nWidth, columns[c].bRight);
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        std::fprintf(out, "  %s\n", line.c_str());
    }
}
