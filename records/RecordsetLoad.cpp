#include "records/RecordsetLoad.h"

CRecordsetLoad::CRecordsetLoad()
    : m_adwUser{}, m_nSearchBarID(2051), m_nToolBarID(0), m_nBackgroundBitmapID(0),
      m_bShowBackground(TRUE), m_hResourceInstance(NULL), m_bEditOnClick(TRUE),
      m_bToolBarText(TRUE), m_bToolBarLarge(TRUE),
      m_dwToolBarStyle(0x34), // CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC
      m_nToolBarDock(0xE81B), // AFX_IDW_DOCKBAR_TOP
      m_dwSearchBarStyle(
          0x2830),              // CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_FLYBY | CBRS_TOOLTIPS
      m_nSearchBarDock(0xE81E), // AFX_IDW_DOCKBAR_BOTTOM
      m_nHeaderBitmapID(0), m_crHeaderMask(0x02000000), m_anToolBarBitmapID{},
      // The grid's class, found by name so that the records need none of the grid's headers
      // (it registers itself when the library loads).
      m_pCtrlClass(const_cast<CRuntimeClass*>(CRuntimeClass::FromName("CRecordsetCtrl"))),
      m_pDatabase(NULL), m_nOptions(0) {
    for (COLORREF& cr : m_acrToolBarMask)
        cr = 0x02000000;
}

// Member by member (a copy borrows the same database): a member added later cannot be
// forgotten in a copy.
CRecordsetLoad::CRecordsetLoad(const CRecordsetLoad&) = default;
CRecordsetLoad& CRecordsetLoad::operator=(const CRecordsetLoad&) = default;
CRecordsetLoad::~CRecordsetLoad() = default;
