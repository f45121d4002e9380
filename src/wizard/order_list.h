// The wizard's third step: by which of the displayed columns the report's rows
// are sorted, in which sequence and in which direction. Every change goes
// straight into the column records: a column in the sort list has its 1-based
// place there as sort position and a direction (1 ascending, 2 descending); a
// column taken out of the sort list gets sort position 0.
#pragma once

#include <vector>

#include "owner/dt_owner.h"
#include "framework/afxwin.h"
#include "resources/resource.h"

class CDTAttrSheet;

class CDTOrderList : public CPropertyPage {
    DECLARE_DYNCREATE(CDTOrderList)
  public:
    enum { IDD = IDD_ORDER_LIST };
    CDTOrderList();

    CDTOwner* m_pOwner = nullptr;
    CDTAttrSheet* m_pSheet = nullptr;
    CButton m_orderByButton;
    CListCtrl m_availableList;
    CListCtrl m_sortList;
    CButton m_removeAllButton;
    CButton m_removeButton;
    CButton m_moveUpButton;
    CButton m_moveDownButton;
    CButton m_addButton;
    CButton m_addAllButton;
    CString m_strReportName;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

    void OnAvailableItemChanged(NMHDR* nm, LRESULT* result);
    void OnAvailableDoubleClick(NMHDR* nm, LRESULT* result);
    void OnSortItemChanged(NMHDR* nm, LRESULT* result);
    void OnSortDoubleClick(NMHDR* nm, LRESULT* result);
    void OnAddSelected();
    void OnRemoveSelected();
    void OnAddAll();
    void OnRemoveAll();
    void OnMoveUp();
    void OnMoveDown();
    void OnChooseDirection();

    DECLARE_MESSAGE_MAP()

  private:
    void SetSortRow(int row, ZevDTAPIColumn* record, bool assign);
    void FillAvailableList();
    void MoveSortedColumns();
    void SwapSortRows(int a, int b);
    void MoveSortRow(int from, int to);
    void UpdateAllButtons();
    void UpdateAddButtons();
    void UpdateRemoveButtons();
    void UpdateSortMoveButtons();
    void UpdateOrderByButton();
    static ZevDTAPIColumn* RecordOf(const CListCtrl& list, int row);
    static std::vector<int> SelectedRows(const CListCtrl& list);
};
