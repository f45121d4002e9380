// The sample contents every dialog opens with, shared by the preview and the
// real-input tests' host, so that a picture shows what the keys act on.
#pragma once

#include "filters/df_property_sheet.h"
#include "filters/get_filter_name_dlg.h"
#include "filters/member_value_select_dlg.h"
#include "filters/pick_string_item_dlg.h"
#include "resources/resource.h"
#include "sample_data.h"
#include "wizard/dt_attr_sheet.h"

namespace sample {

// The wizard over the sample columns, as a report named "Sales Detail".
inline void SetUpWizard(CDTAttrSheet& sheet, SampleColumns& owner) {
    sheet.SetOwner(&owner);
    sheet.SetReportName("Sales Detail");
}

// The sort direction chooser, with Descending chosen before.
inline void SetUpOrderBy(CPickStringItemDlg& dlg) {
    CString text;
    text.LoadString(IDS_ASCENDING);
    dlg.m_Items.AddTail(text);
    text.LoadString(IDS_DESCENDING);
    dlg.m_Items.AddTail(text);
    dlg.m_strTitle.LoadString(IDS_ORDER_BY);
    dlg.m_nSelectedIndex = 1;
}

// The values of a column, in arrival order (the list sorts them).
inline void SetUpValues(CMemberValueSelectDlg& dlg) {
    for (const char* v : {"Krakow", "Brno", "Debrecen", "Bratislava", "Ljubljana", "Zagreb"})
        dlg.m_Values.AddTail(v);
    dlg.m_strTitle.LoadString(IDS_SELECT_FILTER_VALUES);
}

// A new filter's name, with one saved filter beside it.
inline void SetUpFilterName(GetFilterNameDlg& dlg) {
    dlg.m_existingNames.AddTail("Eastern sales");
    dlg.SetCurrentName("Eastern sales");
}

// The builder's caption for the sample's city column.
inline CString BuilderCaption() {
    CString caption, format;
    format.LoadString(IDS_SET_FILTER_ON_COLUMN);
    caption.Format(format, "REGION.CITY");
    return caption;
}

// The builder on the sample's city column, with the conditions it already has.
inline void SetUpBuilder(CDFPropertySheet& sheet, SampleColumns& owner, const char* filters) {
    sheet.m_filtersPage.m_pOwner = &owner;
    sheet.m_filtersPage.m_pColumn = owner.GetColumnList()[2];
    sheet.m_filtersPage.m_strFilters = filters;
}

}  // namespace sample
