// The wizard's first step: what the wizard does, and a picture.
#pragma once

#include "framework/afxwin.h"
#include "resources/resource.h"

class CDTAttrSheet;

class CInfoPage : public CPropertyPage {
    DECLARE_DYNCREATE(CInfoPage)
  public:
    enum { IDD = IDD_INFO_PAGE };
    CInfoPage();

    CDTAttrSheet* m_pSheet = nullptr;
    CStatic m_picture;
    CString m_strInstructions;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  private:
    void SetStepButtons();
};
