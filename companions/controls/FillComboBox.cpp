#include "companions/controls/FillComboBox.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

bool ParseInt(const std::string& text, int& value) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

int FillComboBox(CComboBox* pComboBox, CString strList, int nFlags, char chSeparator) {
    if (pComboBox == nullptr || pComboBox->GetSafeHwnd() == NULL)
        return CB_ERR;
    // Split, then check every pair before the list is touched.
    std::vector<std::string> parts;
    const std::string list(static_cast<LPCTSTR>(strList));
    size_t start = 0;
    for (;;) {
        const size_t sep = list.find(chSeparator, start);
        if (sep == std::string::npos) {
            parts.push_back(list.substr(start));
            break;
        }
        parts.push_back(list.substr(start, sep - start));
        start = sep + 1;
    }
    if (parts.size() % 2 == 1 && parts.back().empty())
        parts.pop_back(); // a separator at the end
    if (parts.size() % 2 == 1)
        return CB_ERR;
    std::vector<std::pair<std::string, int>> entries;
    for (size_t i = 0; i < parts.size(); i += 2) {
        int value = 0;
        if (!ParseInt(parts[i + 1], value))
            return CB_ERR;
        entries.emplace_back(parts[i], value);
    }
    if (nFlags & FCB_RESETCONTENT)
        pComboBox->ResetContent();
    int added = 0;
    for (const auto& [text, value] : entries) {
        const int index = pComboBox->AddString(text.c_str());
        if (index < 0)
            break;
        pComboBox->SetItemData(index, static_cast<DWORD_PTR>(static_cast<LONG_PTR>(value)));
        ++added;
    }
    return added;
}
