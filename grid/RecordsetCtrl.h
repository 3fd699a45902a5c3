// CRecordsetCtrl: the grid window. A child window that shows a window of rows of one
// recordset under a column header, with its own scroll bars, two margin buttons (columns and
// refresh), tooltips and a record counter. It reads only the rows that fit: every movement asks
// the document for a new window relative to the two bookmarks it keeps.
//
// The class is dynamically creatable so that hosts can instantiate a derived grid named in the
// configuration record; its message handlers and data operations are virtual.
//
// Parents are told of changes with WM_COMMAND (the grid's child ID in the low word of wParam, a
// code in the high word, the grid's window in lParam): 200 when the current record may have
// changed, 201 after a double click. A grid in the view host tells nobody.
#pragma once

#include "afxcmn.h"
#include "afxdao.h"
#include "afxext.h"
#include "afxtempl.h"
#include "afxwin.h"
#include "companions/controls/DateEdit.h"
#include "companions/controls/ExHeaderCtrl.h"
#include "companions/controls/ExScrollBar.h"
#include "companions/controls/KillEdit.h"
#include "companions/controls/NoFocusButton.h"
#include "document/RecordsetDoc.h"
#include "records/AdvSearch.h"
#include "records/ColumnDetails.h"
#include "records/RecordsetLoad.h"

class CDialogBar;

// The grid's private messages.
#define WM_RSC_LOAD (WM_USER + 5)        // posted by OnCreate: leads to the first full load
#define WM_RSC_RELOAD (WM_USER + 6)      // wParam: full reload; lParam: key text to stand on
#define WM_RSC_REFRESH (WM_USER + 7)     // refetch the window where it is
#define WM_RSC_DRAG (WM_USER + 8)        // a drag started (flags, CPoint* in client coordinates)
#define WM_RSC_RELOADLONG (WM_USER + 10) // as WM_RSC_RELOAD, lParam a numeric key

// Asked of the grid's parent by a grid in the view host: wParam points to RSC_HOSTBARS, which
// the host fills with its toolbar and search bar (either may stay NULL). Answer TRUE.
#define WM_RSC_GETHOSTBARS (WM_USER + 30)
struct RSC_HOSTBARS {
    CControlBar* pToolBar;
    CDialogBar* pSearchBar;
};

// Notification codes to the parent.
#define RSCN_SELCHANGE 200
#define RSCN_DBLCLK 201

// Record commands shared by the grid, the record chooser and the view host's toolbar.
#define ID_RECORD_NEW 5500
#define ID_RECORD_OPEN 5501
#define ID_RECORD_DELETE 5502
#define ID_RECORD_CHOOSE 5503
#define ID_RECORD_CLOSE 5504
#define ID_RECORD_PRINT 5505

// Context menu and its commands.
#define IDR_RSC_MENU 2050
#define ID_CM_SHOWTOOLBAR 22400
#define ID_CM_SHOWSEARCHBAR 22401
#define ID_CM_REFRESH 22402
#define ID_CM_FONTSIZE8 22403
#define ID_CM_FONTSIZE9 22404
#define ID_CM_FONTSIZE11 22405
#define ID_CM_FONTSIZE13 22406
#define ID_CM_COLUMN 22407
#define ID_CM_SHOWBACKGROUND 22408

// The margin buttons (their IDs are also their tooltip strings).
#define IDC_RSC_COLUMNS 9436
#define IDC_RSC_REFRESH 9437

// The search bar (dialog 2051) and its controls.
#define IDD_RSC_SEARCHBAR 2051
#define IDC_SB_OPERATOR 9430
#define IDC_SB_CRITERIA 9431
#define IDC_SB_AND 9432
#define IDC_SB_FROM 9433
#define IDC_SB_TO 9434
#define IDC_SB_CONFIG 9435
#define IDC_SB_SEARCH 9438
#define IDC_SB_ALL 9439
#define IDC_SB_COLUMN 9440

// Strings.
#define IDS_RSC_DELETED 15400
#define IDS_RSC_ADVSEARCH 15401
#define IDS_RSC_OPERATORS 15404
#define IDS_RSC_RECORDDELETED 15405
#define IDS_RSC_RECORDS 15406
#define IDS_RSC_ADVOPERATORS 15407
#define IDS_RSC_HEADERTIP 15408
// Refusals of the search (the field's caption and the value are put in with Format).
#define IDS_RSC_NOTNUMBER 15409
#define IDS_RSC_NOTDATE 15410
#define IDS_RSC_NOOPERATOR 15411
#define IDS_RSC_BADPATTERN 15412
#define IDS_RSC_NOTBOOLEAN 15413
#define IDS_RSC_NOTEXTCOLUMN 15430
#define IDS_RSC_COUNTING 15431

class AFX_EXT_CLASS CRecordsetCtrl : public CWnd {
    DECLARE_DYNCREATE(CRecordsetCtrl)

public:
    typedef CArray<CStringArray, CStringArray> CRowArray;
    typedef CArray<CColumnDetails, CColumnDetails> CColumnArray;

    CRecordsetCtrl();
    ~CRecordsetCtrl() override;

    // Creation from a configuration record, which this call takes over and deletes; the grid
    // creates and owns its document. Note the order of the styles: extended style first.
    BOOL Create(CRecordsetLoad* pLoad, LPCTSTR lpszWindowName, DWORD dwExStyle, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd, UINT nID);
    // Creation over a borrowed document; the host calls Initialise (and SetInView) first.
    BOOL Create(CRecordsetDoc* pDoc, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID);
    using CWnd::Create;

    void Initialise(CRecordsetLoad* pLoad);
    void SetBitmap(HINSTANCE hInstance, UINT nIDResource);
    void SetInView(BOOL bInView) { m_bInView = bInView; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Layout. GetClientRect gives the grid area: the client area below the header, without
    // the scroll bars. InvalidateRect(NULL) invalidates the grid area; with the background
    // shown it always erases.
    void GetClientRect(LPRECT lpRect) const;
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);

    // Columns and header.
    void FillHeader();
    void UpdateColumnDetails();
    void SetSort();
    // The document's order that sorts on field nField (numbered from 0).
    static CString SortOrder(int nField, BOOL bDesc);

    // Loading.
    void RefreshView();

    // Rendering.
    void SetFonts();
    void DrawBackground(CDC* pDC);
    void DrawTable(CDC* pDC, COLORREF crUnder);
    void DrawGrid(CDC* pDC);
    // The x just past the last column shown (its grid line included), at most rcGrid.right.
    int ColumnsRight(const CRect& rcGrid) const;

    // Cursor.
    void CheckClick(CPoint point, int nKind); // 0 left down, 1 right down, 2 left double click
    BOOL SafePositionCursor(BOOL bInvalidate);
    void InvalidateCursor(int nRow);
    // After a move by nRows (1 down, -1 up): when every other row reads as in before, moves
    // their pixels and draws the incoming row; FALSE when the whole grid must be drawn.
    BOOL MoveRowPixels(int nRows, const CRowArray& before);

    // Context menu.
    void BuildMenu(CMenu* pMenu);

    // Search bar.
    void InitDialogBar();
    CString CreateFilter(int nColumn, int nOperator, LPCTSTR lpszCriteria, LPCTSTR lpszFrom,
                         LPCTSTR lpszTo);

    // Members, in the framework's order.
    CString m_strFontName;
    int m_nFontSize;
    int m_nCharHeight;
    int m_nCharWidth;
    int m_nHeaderCharWidth;
    int m_nSmallCharHeight;
    CFont m_font;
    CFont m_fontBold;
    CFont m_fontSmall;
    CBitmap m_bmpBackground;
    BOOL m_bShowBackground;
    int m_nBackgroundWidth;
    int m_nBackgroundHeight;
    COLORREF m_crWindow;
    COLORREF m_crWindowText;
    COLORREF m_crHighlight;
    COLORREF m_crHighlightText;
    COLORREF m_crBtnFace;
    UINT m_nHeaderBitmapID;
    COLORREF m_crHeaderMask;
    HINSTANCE m_hResourceInstance;
    CExHeaderCtrl m_wndHeader;
    CColumnArray m_arrayColumns;
    CRowArray m_arrayTable;
    int m_nSortByN;
    BOOL m_bSortDesc;
    int m_nKeyColumn;
    CString m_strDeleted;
    UINT m_nTypeAheadTimer;
    CString m_strTypeAhead;
    CArray<CAdvSearch, CAdvSearch> m_arrayAdvSearch;
    int m_nAdvSearchOr;
    int m_nSearchCol;
    int m_nSearchOp;
    UINT m_nEditTimer;
    int m_nEditRow;
    int m_nEditSlot;
    CPoint m_ptEdit;
    BOOL m_bEditOnClick;
    CDateEdit m_dateEdit[3];
    int m_nTrackLine;
    int m_nWheelDelta;
    CPoint m_ptClick;
    BOOL m_bDragStarted;
    int m_nRows;
    int m_nTableRows;
    int m_nCursor;
    COleVariant m_varFirst;
    COleVariant m_varLast;
    CBitmap m_bmpColumns;
    CBitmap m_bmpRefresh;
    CNoFocusButton m_btnColumns;
    CNoFocusButton m_btnRefresh;
    CToolTipCtrl m_toolTip;
    int m_nHScrollHeight;
    int m_nVScrollWidth;
    CExScrollBar m_wndHScroll;
    CExScrollBar m_wndVScroll;
    DWORD m_adwUser[10];
    CString m_strRegistryKey;
    BOOL m_bAlwaysChoose;
    BOOL m_bInView;
    BOOL m_bOwnDoc;
    CRecordsetDoc* m_pDoc;

    // The virtual operations, in the framework's slot order.
protected:
    afx_msg virtual LRESULT OnLoad(WPARAM wParam, LPARAM lParam);
    afx_msg virtual LRESULT OnReload(WPARAM wParam, LPARAM lParam);
    afx_msg virtual LRESULT OnReloadLong(WPARAM wParam, LPARAM lParam);
    afx_msg virtual LRESULT OnRefreshView(WPARAM wParam, LPARAM lParam);
    afx_msg virtual LRESULT OnKillEdit(WPARAM wParam, LPARAM lParam);
    afx_msg virtual LRESULT OnKillEditCancel(WPARAM wParam, LPARAM lParam);
    afx_msg virtual void OnHeaderItemClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg virtual void OnHeaderBeginTrack(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg virtual void OnHeaderTrack(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg virtual void OnHeaderEndTrack(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg virtual void OnHeaderEndDrag(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg virtual void OnCMFontSize8();
    afx_msg virtual void OnCMFontSize9();
    afx_msg virtual void OnCMFontSize11();
    afx_msg virtual void OnCMFontSize13();
    afx_msg virtual void OnCMColumn();
    afx_msg virtual void OnCMShowBackground();
    afx_msg virtual void OnCMShowToolBar();
    afx_msg virtual void OnCMShowSearchBar();
    afx_msg virtual void OnCMRefresh();

public:
    afx_msg virtual void OnView();
    afx_msg virtual void OnUpdateView(CCmdUI* pCmdUI);
    afx_msg virtual void OnAll();
    afx_msg virtual void OnUpdateAll(CCmdUI* pCmdUI);
    afx_msg virtual void OnConfigSearch();
    afx_msg virtual void OnSelendokDialogBar();
    afx_msg virtual void OnUpdateNew(CCmdUI* pCmdUI);
    afx_msg virtual void OnUpdateOpen(CCmdUI* pCmdUI);
    afx_msg virtual void OnUpdateDelete(CCmdUI* pCmdUI);
    afx_msg virtual void OnChoose();
    afx_msg virtual void OnUpdateChoose(CCmdUI* pCmdUI);
    afx_msg virtual void OnClose();

    virtual void GetColumns();
    virtual int GetTable(CRowArray* pTable, CColumnArray* pColumns, int nMode, int nRows,
                         COleVariant* pFirst, COleVariant* pLast, int* pnCount);
    virtual BOOL AddRecord(CDaoRecordset* pRecordset);
    virtual BOOL GetCurrentRecord(CDaoRecordset* pRecordset, BOOL bEdit, int nLockingMode);
    virtual BOOL BeforeEdit(CKillEdit* pEdit, CPoint* pPoint);
    virtual BOOL EditCurrentRecord(int nSlot, int nRow, CPoint* pPoint);

    // Window messages.
protected:
    afx_msg virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg virtual void OnDestroy();
    afx_msg virtual void OnSize(UINT nType, int cx, int cy);
    afx_msg virtual void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg virtual void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg virtual BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg virtual void OnPaint();
    afx_msg virtual UINT OnGetDlgCode();
    afx_msg virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg virtual void OnTimer(UINT_PTR nIDEvent);
    afx_msg virtual void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg virtual void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg virtual void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

    // Helpers shared by the concerns.
    // Sends the parent WM_COMMAND with this code, unless the grid is in the view host.
    void NotifyParent(UINT nCode);
    // The window size in rows, both scroll pages and the header's place, from the current
    // client size (the arithmetic of OnSize).
    void RecalcWindowSize();
    // The vertical page for the current window size.
    int GetVerticalPage() const;
    // The host's bars when the grid stands in the view host; NULL outside it or when absent.
    CControlBar* GetHostToolBar() const;
    CDialogBar* GetHostSearchBar() const;
    // Sends the grid itself a command (WM_COMMAND, no control).
    void SendCommand(UINT nID);
    // Activation (Enter, double click on the current row): Choose or Open.
    void Activate();

    // Input, editing and menu helpers.
    // The cell font in points: fonts, measures and layout rebuilt when it changes.
    void SetFontSize(int nSize);
    // Ends an open in-place edit as losing the focus does (the text is written), so that
    // nothing typed is lost to a reload, a resize or a close.
    void EndPendingEdit();
    // Keeps m_nRecordRows in step with a fetch of the grid's own window.
    void CountRecordRows(int nMode, int nStatus, int nFilled);

public:
    // Whether the records are still being counted after a reload: the scroll range then
    // covers those counted so far (or, with the window at the end, ends at the last record).
    BOOL IsCounting() const { return m_bCounting; }
    // Whether row nRow of the window holds a record (rows below the end of the data do not):
    // told by the fetches, not by the text of any cell, which may well be empty.
    BOOL RowHoldsRecord(int nRow) const;
    // The bookmark of the record in row nRow of the window; FALSE when the row holds none.
    BOOL GetRowBookmark(int nRow, COleVariant& varBookmark);

protected:
    // The in-place editor while one is open: its handle only finds it (the editor owns
    // itself), the column it edits and the text it was given.
    HWND m_hWndEditor;
    int m_nEditColumn;
    CString m_strEditText;
    // Rows of the window, from the top, that hold records.
    int m_nRecordRows;

    // The count in the background (RecordsetCtrlCount.cpp). A reload shows its window first;
    // the records are counted afterwards, a slice per tick of m_nCountTimer, and the range and
    // the counter follow. While the window stands at the end before the count has come
    // (m_bAtEnd), the bar's last position is the last record and positions count back from it.
    void StartCounting(int nPos);
    void StopCounting();
    void KeepCounting();
    // While counting: a range that covers what is counted and the window at nPos.
    void GrowRange(int nPos);
    // At the end before the count: nMore positions more above the window, which keeps its
    // distance from the end.
    void RoomAbove(int nMore);
    // The move that brings the window's first row to bar position t.
    int AbsoluteMove(int t) const;
    void InvalidateCounter();
    UINT m_nCountTimer;
    BOOL m_bCounting;
    BOOL m_bAtEnd;

    // Search bar and filter building (RecordsetCtrlSearch.cpp, RecordsetCtrlFilter.cpp).
public:
    // The condition CreateFilter writes, or FALSE when the criterion cannot become a sound
    // condition (a value that is no number on a plain column, a date that does not parse, an
    // unclosed "[" in a pattern, an operator code outside 0 to 6); then strError says why,
    // in words for the user, and strFilter is left empty.
    BOOL BuildFilter(int nColumn, int nOperator, LPCTSTR lpszCriteria, LPCTSTR lpszFrom,
                     LPCTSTR lpszTo, CString& strFilter, CString& strError);
    // The whole filter "Search" applies for the bar's current choice: one column, all text
    // columns (no column selected) or the advanced criteria. FALSE with strError as above.
    BOOL BuildSearchFilter(CString& strFilter, CString& strError);
    // Gives the search bar's edits back to the host (the date editors let go of them).
    void DetachDateEditors();
    // The search over all text and memo columns; FALSE for Between or an unknown operator.
    BOOL BuildAllColumnsFilter(int nOperator, LPCTSTR lpszCriteria, CString& strFilter,
                               CString& strError);
    // The compound filter of the advanced criteria: (A AND B) OR (C).
    BOOL BuildAdvancedFilter(CString& strFilter, CString& strError);

    DECLARE_MESSAGE_MAP()
};
