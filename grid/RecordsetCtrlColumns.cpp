// The column model: built from the document's fields merged with the stored column settings,
// shown in the header, read back from it, and the sort it implies.
#include "grid/RecordsetCtrl.h"

#include "companions/settings/AppRegistry.h"
#include "companions/settings/Registry.h"
#include "records/JetLiteral.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The reference a filter or a search writes for field nField: "[Amount]", "[Orders].[Amount]"
// for a name qualified with its table. A name the dialect cannot carry stays bare; the search
// refuses it with a message.
CString FieldReference(CRecordsetDoc* pDoc, int nField, const CString& strField) {
    CString strSource, strReference, strError;
    if (pDoc != NULL && pDoc->m_pRecordset != NULL) {
        try {
            CDaoFieldInfo info;
            pDoc->m_pRecordset->GetFieldInfo(nField, info, AFX_DAO_SECONDARY_INFO);
            strSource = info.m_strSourceField;
        } catch (CDaoException* e) {
            e->Delete();
        }
    }
    return kel::records::JetFieldReference(strField, strSource, strReference, strError)
               ? strReference
               : strField;
}

} // namespace

void CRecordsetCtrl::GetColumns() {
    CStringArray arrayNames;
    CUIntArray arrayWidths;
    CArray<short, short> arrayTypes;
    CArray<BYTE, BYTE> arrayAligns;
    CArray<int, int> arraySortable;
    int nKey = -1;
    m_pDoc->GetFields(&arrayNames, &arrayWidths, &arrayTypes, &arrayAligns, &arraySortable, &nKey);
    const int nFields = (int)arrayNames.GetSize();

    const BOOL bFresh = m_arrayColumns.GetSize() == 0;
    if (bFresh) {
        m_arrayColumns.SetSize(nFields);
        for (int i = 0; i < nFields; ++i)
            m_arrayColumns[i].init();
    } else {
        // A repeated build matches existing columns by name; a field that is gone must not
        // keep its old place.
        for (int j = 0; j < m_arrayColumns.GetSize(); ++j)
            m_arrayColumns[j].m_nField = -1;
    }

    BOOL bKeyAdded = FALSE;
    for (int i = 0; i < nFields; ++i) {
        if (arrayWidths[i] == 0)
            continue;
        const CString& strField = arrayNames[i];
        const int nCount = (int)m_arrayColumns.GetSize();
        int nMatch = -1;
        if (bFresh) {
            // A first build: the column of the same name, else the one at the field's place;
            // a key field that meets neither first gets a hidden column of its own.
            for (int j = 0; j < nCount && nMatch < 0; ++j) {
                if (m_arrayColumns[j].m_strName == strField || j == i) {
                    nMatch = j;
                } else if (i == nKey && !bKeyAdded) {
                    break;
                }
            }
        } else {
            // A repeated build keeps each column that still has its field, found by name (the
            // columns carry the bracketed form of it), with its settings.
            for (int j = 0; j < nCount && nMatch < 0; ++j)
                if (m_arrayColumns[j].m_nField < 0 &&
                    (m_arrayColumns[j].m_strName == strField ||
                     kel::records::JetNameOf(m_arrayColumns[j].m_strName) == strField))
                    nMatch = j;
        }
        if (nMatch < 0) {
            if (i == nKey && !bKeyAdded) {
                CColumnDetails key;
                key.init();
                key.m_strName = strField;
                key.m_nWidth = 0;
                key.m_nField = i;
                key.m_bKey = 1;
                m_arrayColumns.Add(key);
                bKeyAdded = TRUE;
            }
            continue;
        }
        CColumnDetails& col = m_arrayColumns[nMatch];
        if (bFresh) {
            col.m_strCaption = strField;
            col.m_strName = strField;
        }
        // A hidden key column of an earlier build stays hidden.
        if (col.m_nWidth == 0 && (bFresh || !col.m_bKey))
            col.m_nWidth = (int)arrayWidths[i];
        col.m_nType = arrayTypes[i];
        col.m_bSortable = arraySortable[i];
        if (col.m_nAlign == -1)
            col.m_nAlign = arrayAligns[i];
        if (col.m_crText == 0)
            col.m_crText = m_crWindowText;
        if (col.m_crBack == 0)
            col.m_crBack = m_crWindow;
        col.m_nField = i;
        if (bFresh)
            col.m_nOrder = nMatch;
        if (i == nKey) {
            col.m_bKey = 1;
            bKeyAdded = TRUE;
        }
    }

    for (int j = (int)m_arrayColumns.GetSize() - 1; j >= 0; --j)
        if (m_arrayColumns[j].m_nField < 0)
            m_arrayColumns.RemoveAt(j);

    CRegistry reg(AppRegistryRoot, AppRegistryPath + m_strRegistryKey);
    int nShow = 0;
    reg.Read("ShowBackground", nShow, 0);
    m_bShowBackground = nShow;

    for (int j = 0; j < m_arrayColumns.GetSize(); ++j) {
        CColumnDetails& col = m_arrayColumns[j];
        if (col.m_bKey)
            m_nKeyColumn = j;
        col.m_strName = FieldReference(m_pDoc, col.m_nField, arrayNames[col.m_nField]);
        if (m_strRegistryKey.IsEmpty() || col.m_nWidth == 0)
            continue;
        CString strValue;
        reg.Read(col.m_strName, strValue, "");
        // "%04d %04d %04d": visible flag, width, display position. Anything shorter or
        // not a number is a damaged value and leaves the column as it is.
        if (strValue.GetLength() < 11)
            continue;
        LPCTSTR psz = strValue;
        int nVisible = std::atoi(psz), nWidth = std::atoi(psz + 5), nOrder = std::atoi(psz + 10);
        if (nVisible < 0 || nWidth <= 0 || nOrder < 0)
            continue;
        col.m_bVisible = nVisible != 0;
        col.m_nWidth = std::min(nWidth, 9999);
        col.m_nOrder = std::min(nOrder, 9999);
    }
}

void CRecordsetCtrl::FillHeader() {
    if (m_nHeaderBitmapID != 0 && !m_wndHeader.IsBitmapSet())
        m_wndHeader.SetBitmap(m_hResourceInstance, m_nHeaderBitmapID, 16, 16, m_crHeaderMask);

    // The shown columns, ranked by their stored position: the header's order is then 0..n-1
    // without gaps whatever positions the model carries.
    std::vector<int> shown;
    for (int j = 0; j < m_arrayColumns.GetSize(); ++j)
        if (m_arrayColumns[j].m_bVisible && m_arrayColumns[j].m_nWidth != 0)
            shown.push_back(j);
    std::vector<int> ranked = shown;
    std::stable_sort(ranked.begin(), ranked.end(), [this](int a, int b) {
        return m_arrayColumns[a].m_nOrder < m_arrayColumns[b].m_nOrder;
    });
    for (int rank = 0; rank < (int)ranked.size(); ++rank)
        m_arrayColumns[ranked[rank]].m_nOrder = rank;

    std::vector<int> order(shown.size());
    int nInserted = 0;
    for (int j : shown) {
        CColumnDetails& col = m_arrayColumns[j];
        HDITEM item{};
        item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_IMAGE | HDI_ORDER;
        item.cxy = m_nHeaderCharWidth * col.m_nWidth + 41;
        item.pszText = const_cast<LPTSTR>((LPCTSTR)col.m_strCaption);
        item.cchTextMax = col.m_strCaption.GetLength();
        item.fmt = HDF_OWNERDRAW | HDF_STRING;
        item.lParam = j;
        item.iImage = col.m_nImage;
        item.iOrder = col.m_nOrder;
        m_wndHeader.InsertItem(j, &item);
        order[col.m_nOrder] = nInserted++;
    }
    if (nInserted > 0)
        m_wndHeader.SetOrderArray(nInserted, order.data());
}

void CRecordsetCtrl::UpdateColumnDetails() {
    if (m_wndHeader.GetSafeHwnd() == NULL || m_nHeaderCharWidth <= 0)
        return;
    const int nItems = m_wndHeader.GetItemCount();
    for (int i = 0; i < nItems; ++i) {
        HDITEM item{};
        item.mask = HDI_WIDTH | HDI_LPARAM | HDI_ORDER;
        if (!m_wndHeader.GetItem(i, &item))
            continue;
        if (item.lParam < 0 || item.lParam >= m_arrayColumns.GetSize())
            continue;
        CColumnDetails& col = m_arrayColumns[(int)item.lParam];
        col.m_nOrder = item.iOrder;
        // A shown column keeps at least one unit: width 0 marks a column that is never shown.
        col.m_nWidth = std::max((item.cxy - 41) / m_nHeaderCharWidth, 1);
    }
}

void CRecordsetCtrl::SetSort() {
    int nItem = -1, nField = -1, nVisible = 0;
    for (int j = 0; j < m_arrayColumns.GetSize(); ++j) {
        const CColumnDetails& col = m_arrayColumns[j];
        if (!col.m_bVisible || col.m_nWidth == 0)
            continue; // not in the header
        if (col.m_nField == m_nSortByN && col.m_bSortable) {
            nItem = nVisible;
            nField = col.m_nField;
            break;
        }
        ++nVisible;
    }
    if (nItem < 0) {
        m_wndHeader.SetSortCol(-1, m_bSortDesc);
        if (m_pDoc != NULL)
            m_pDoc->SetOrder("");
        return;
    }
    m_wndHeader.SetSortCol(nItem, m_bSortDesc);
    if (m_pDoc != NULL)
        m_pDoc->SetOrder(SortOrder(nField, m_bSortDesc));
}

CString CRecordsetCtrl::SortOrder(int nField, BOOL bDesc) {
    CString strOrder;
    strOrder.Format(bDesc ? "%d DESC" : "%d ASC", nField + 1);
    return strOrder;
}
