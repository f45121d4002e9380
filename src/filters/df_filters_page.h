// The one page of the column-filter builder: the user picks an operator,
// types a value or picks values that the server holds for the column, and
// appends the condition to the column's filters text, joined with AND or OR.
// Whatever stands in the Filters box at OK is the column's condition.
#pragma once

#include "framework/afxwin.h"
#include "resources/resource.h"
#include "owner/dt_owner.h"

class CDFFiltersPage : public CPropertyPage {
    DECLARE_DYNCREATE(CDFFiltersPage)
  public:
    enum { IDD = IDD_FILTERS_PAGE };
    CDFFiltersPage();
    ~CDFFiltersPage() override;

    CDTOwner* m_pOwner = nullptr;         // the drill-through object, not owned
    ZevDTAPIColumn* m_pColumn = nullptr;  // the column being filtered, not owned
    bool m_bModified = false;             // only ever set: the caller reads it after OK
    CComboBox m_cboOperator;
    CComboBox m_cboColumn;
    CString m_strFilters;  // the column's condition text, in and out
    int m_nAddType = -1;   // 0 And, 1 Or

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // OK: a Filters text that no saved filter could keep is refused here,
    // where it is typed, and the sheet stays open.
    BOOL OnKillActive() override;

    void OnAdd();
    void OnPickValues();
    void OnSelchangeColumn();
    void UpdateAddButton();
    void OnChangeFilters();
    void FillOperatorList();

    DECLARE_MESSAGE_MAP()

  private:
    CString BuildCondition() const;
    CString SelectedText(const CComboBox& box) const;
    CString TableName() const;
    CString ColumnName() const;
    uint16_t DataType() const;
};
