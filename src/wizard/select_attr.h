// The wizard's second step: which columns of the report are retrieved, and in
// which order they are displayed. Every change goes straight into the column
// records: a listed column's display position is its 1-based place in the
// list, a column taken out of the list gets 0.
#pragma once

#include "owner/dt_owner.h"
#include "framework/afxwin.h"
#include "resources/resource.h"

class CDTAttrSheet;

class CDTSelectAttr : public CPropertyPage {
    DECLARE_DYNCREATE(CDTSelectAttr)
  public:
    enum { IDD = IDD_SELECT_ATTR };
    CDTSelectAttr();

    // Walks the selected list in display order, for the sort page. Start with
    // index 0; each call sets record to the entry's column record (none past
    // the end), advances index and returns the entry's text "TABLE.COLUMN".
    // An empty text ends the walk; it is also what a page without its window
    // answers.
    CString GetNextSelectedColumn(int& index, ZevDTAPIColumn*& record);

    CDTOwner* m_pOwner = nullptr;
    CDTAttrSheet* m_pSheet = nullptr;
    CListBox m_selectedList;
    CString m_strReportName;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

    void OnAddFromTree();
    void OnAddAll();
    void OnRemoveSelected();
    void OnRemoveAll();
    void OnMoveUp();
    void OnMoveDown();
    void OnSelectionChange();

    DECLARE_MESSAGE_MAP()

  private:
    void BuildColumnTree();
    void FillSelectedList(bool onlyDisplayed);
    void RenumberDisplayPositions();
    void AddColumn(ZevDTAPIColumn* record);
    void UpdateMoveButtons(bool enable);
    void EnableNext(bool enable);
    void SwapEntries(int upper);
    ZevDTAPIColumn* RecordAt(int index) const;
    int FindEntry(const CString& text) const;
};
