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
      // The grid's own class becomes the default once the grid declares it.
      m_pCtrlClass(NULL), m_pDatabase(NULL), m_nOptions(0) {
    for (COLORREF& cr : m_acrToolBarMask)
        cr = 0x02000000;
}

CRecordsetLoad::CRecordsetLoad(const CRecordsetLoad& src) {
    *this = src;
}

CRecordsetLoad& CRecordsetLoad::operator=(const CRecordsetLoad& src) {
    if (this == &src)
        return *this;
    m_strRegistryKey = src.m_strRegistryKey;
    for (int i = 0; i < 10; ++i)
        m_adwUser[i] = src.m_adwUser[i];
    m_strTitle = src.m_strTitle;
    m_strTitleSuffix = src.m_strTitleSuffix;
    m_nSearchBarID = src.m_nSearchBarID;
    m_nToolBarID = src.m_nToolBarID;
    m_nBackgroundBitmapID = src.m_nBackgroundBitmapID;
    m_bShowBackground = src.m_bShowBackground;
    m_hResourceInstance = src.m_hResourceInstance;
    m_bEditOnClick = src.m_bEditOnClick;
    m_bToolBarText = src.m_bToolBarText;
    m_bToolBarLarge = src.m_bToolBarLarge;
    m_dwToolBarStyle = src.m_dwToolBarStyle;
    m_nToolBarDock = src.m_nToolBarDock;
    m_dwSearchBarStyle = src.m_dwSearchBarStyle;
    m_nSearchBarDock = src.m_nSearchBarDock;
    m_nHeaderBitmapID = src.m_nHeaderBitmapID;
    m_crHeaderMask = src.m_crHeaderMask;
    for (int i = 0; i < 6; ++i)
        m_anToolBarBitmapID[i] = src.m_anToolBarBitmapID[i];
    for (int i = 0; i < 6; ++i)
        m_acrToolBarMask[i] = src.m_acrToolBarMask[i];
    m_pCtrlClass = src.m_pCtrlClass;
    m_pDatabase = src.m_pDatabase; // the copy borrows the same database
    m_strDatabase = src.m_strDatabase;
    m_strSQL = src.m_strSQL;
    m_strFilter = src.m_strFilter;
    m_strFilter2 = src.m_strFilter2;
    m_strOrder = src.m_strOrder;
    m_nOptions = src.m_nOptions;
    return *this;
}

CRecordsetLoad::~CRecordsetLoad() = default;
