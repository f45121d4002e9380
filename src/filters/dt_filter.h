// The wizard's last step: every column of the report with the condition in
// force for it, the saved filters to choose from, and the editing of filters
// and conditions. Conditions go straight into the column records; the filters
// reach the library when the user saves them or finishes the wizard here.
#pragma once

#include "column_conditions.h"
#include "filter_list.h"
#include "framework/afxwin.h"
#include "resources/resource.h"
#include "owner/dt_owner.h"

class CDTFilter : public CPropertyPage {
    DECLARE_DYNCREATE(CDTFilter)
  public:
    enum { IDD = IDD_FILTER };
    CDTFilter();
    ~CDTFilter() override;

    // The saved filters and the current one; the filter combo shows them in
    // the same order, one entry per record.
    CFilterList m_filters;
    CDTOwner* m_pOwner = nullptr;
    // The wizard that holds this step, before the page is added to it.
    CPropertySheet* m_pSheet = nullptr;
    CComboBox m_filterCombo;
    CButton m_addConditionButton;
    CEdit m_conditionBox;
    CListCtrl m_filterGrid;
    CEdit m_descriptionBox;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;

    void OnAddCondition();
    void OnClear();
    void OnClearAll();
    void OnItemchangedFilterGrid(NMHDR* nm, LRESULT* result);
    void OnDblclkFilterGrid(NMHDR* nm, LRESULT* result);
    void OnSelchangeFilter();
    void OnChangeDescription();
    void OnKillfocusDescription();
    void OnAddNewFilter();
    void OnDeleteFilter();
    void OnRenameFilter();
    void OnSaveFilters();

    DECLARE_MESSAGE_MAP()

  private:
    // Runs the column-filter builder on one column's condition. True when the
    // user pressed OK after changing it; `condition` then holds the new text.
    bool EditColumnCondition(const CString& key, ZevDTAPIColumn* record, CString& condition);
    void InitFilterGrid();
    int GetSelectedRow() const;
    void ClearConditionDisplay();
    void RefreshConditionSummary();
    void ShowCurrentFilter();
    void FillFilterCombo();
    void UpdateFilterButtons();
    // Copies the column table's condition cells into the grid.
    void ShowConditionCells();
    void SetRowCondition(int row, const CString& condition);
    // Whether the current filter can take a change; says why not when it cannot.
    bool MayChangeCurrent(const CFilterList::Change& change);
    // Writes the description box into the current filter, or tells the user
    // it cannot and shows the kept text again.
    bool CommitDescription();
    void RestoreDescription();
    // Whether the focus has gone to another control of the wizard than Cancel.
    bool FocusStaysInWizard() const;

    CColumnTable m_columns;
    // The description box's last text that the filter could keep: what the
    // box goes back to when the user types one it could not.
    CString m_strShownDescription;
    // Set while the box's text is checked on losing the focus: the message
    // box that may tell the user takes the focus again.
    bool m_bCheckingOnFocusLoss = false;
};
