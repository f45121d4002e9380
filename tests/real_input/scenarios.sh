# The real-input scenarios, sourced by real-input. Each group_NAME prints the
# scenarios of a group; each scenario is a function that starts the host,
# types and clicks, and waits for what must follow. Control ids are the
# templates'; the wizard's buttons are Back 12323, Next 12324, Finish 12325.

login_caption="Drill-Through Login"
reports_caption="Select Drill-Through Report"
# The wizard shows the title of its step as its caption.
wizard_caption="[^\"]*"

# ---- login -------------------------------------------------------------------------
group_login() { echo login_enter login_esc login_tab_order login_accelerators login_enter_on_a_focused_button; }

login_enter() {
  start login_enter login
  window "$login_caption" && state 1001 1 &&
    # The first edit's text is selected as the dialog opens: typing replaces it.
    xdotool type --delay 20 more && key Tab Tab && focus 1014 && xdotool type --delay 20 demo &&
    key Return && expect '^close 129 OK$' && expect '^result login 1 server=more user=demo$' &&
    done_with 1
}

login_esc() {
  start login_esc login
  window "$login_caption" && key Escape && expect '^close 129 CANCEL$' && done_with 2
}

login_tab_order() {
  start login_tab_order login
  # The read-only data source is still a stop; the labels and the group are not.
  window "$login_caption" && tabs 1001 1002 1014 1015 1 2 1065 && key Escape && done_with 2
}

login_accelerators() {
  start login_accelerators login
  window "$login_caption" &&
    key alt+h && expect '^clicked 1065$' && expect '^help .*idh_drill_through_login_dialog_box.html$' &&
    key alt+c && expect '^clicked 2$' && expect '^close 129 CANCEL$' && done_with 2 || return 1
  # OK without a user: the refusal's message box takes Enter, and Esc; then the login comes back.
  start login_accelerators_ok login
  window "$login_caption" && key alt+o && expect '^clicked 1$' && window real-input-host && key Return &&
    expect '^messagebox .* OK -> OK$' && window "$login_caption" && key alt+o && window real-input-host &&
    # The focus came back to OK. Esc on a box with OK alone answers OK.
    key Escape && expect '^messagebox 50003 .* OK -> OK$' && window "$login_caption" && key Tab Tab Tab Tab Tab && focus 1014 &&
    xdotool type --delay 20 demo && key alt+o && expect '^close 129 OK$' && done_with 1
}

login_enter_on_a_focused_button() {
  # Enter presses the focused push button, and the default comes back when it leaves.
  start login_enter_on_a_focused_button login
  window "$login_caption" && key shift+Tab && state 1065 1065 && key shift+Tab && state 2 2 &&
    key shift+Tab && state 1 1 && key shift+Tab && state 1015 1 && key shift+Tab shift+Tab shift+Tab &&
    state 1001 1 && key Tab Tab Tab Tab Tab && state 2 2 && key Return && expect '^close 129 CANCEL$' &&
    done_with 2
}

# ---- report selection ----------------------------------------------------------------
# Reports: 0 "Sales Detail", 1 "Customer Orders" (both may be customised), 2 "Returns (fixed layout)".
group_reports() { echo reports_enter reports_esc reports_arrows_and_enter reports_arrows_and_customize reports_tab_order reports_accelerators; }

reports_enter() {
  start reports_enter reports
  window "$reports_caption" && state 1040 1043 && key Return && expect '^clicked 1043$' &&
    expect '^result reports 1 selected=0 customize=0$' && done_with 1
}

reports_esc() {
  start reports_esc reports
  window "$reports_caption" && key Escape && expect '^close 138 CANCEL$' && done_with 2
}

reports_arrows_and_enter() {
  # The report chosen with the keys is the one that runs.
  start reports_arrows_and_enter reports
  window "$reports_caption" && expect '^rows 1040 0$' && key Down && expect '^rows 1040 1$' && key Return &&
    expect '^close 138 OK$' && expect '^result reports 1 selected=1 customize=0$' && done_with 1
}

reports_arrows_and_customize() {
  # The fixed-layout report cannot be customised: its accelerator does nothing.
  start reports_arrows_and_customize reports
  window "$reports_caption" && key End && expect '^rows 1040 2$' && key alt+u && key Up && expect '^rows 1040 1$' &&
    absent '^clicked 1044$' && key alt+u && expect '^clicked 1044$' &&
    expect '^result reports 1 selected=1 customize=1$' && done_with 1
}

reports_tab_order() {
  start reports_tab_order reports
  window "$reports_caption" && tabs 1040 1043 1044 2 9 && key Escape && done_with 2
}

reports_accelerators() {
  start reports_accelerators reports
  window "$reports_caption" && key alt+h && expect '^clicked 9$' && expect '^help .*idh_select_drill_through_report_db.html$' &&
    key alt+c && expect '^close 138 CANCEL$' && done_with 2 || return 1
  start reports_accelerators_execute reports
  window "$reports_caption" && key Down && expect '^rows 1040 1$' && key alt+e && expect '^clicked 1043$' &&
    expect '^result reports 1 selected=1 customize=0$' && done_with 1
}

# ---- the wizard ------------------------------------------------------------------------
# The first step's only focusable control is its read-only multi-line text: Tab, Enter
# and Esc act there as on every other step.
group_wizard() { echo wizard_enter_through_every_step wizard_esc_on_every_step wizard_tab_order wizard_accelerators; }

wizard_enter_through_every_step() {
  # Enter is Next on every step and Finish on the last; Alt+B goes back, Alt+N forward.
  start wizard_enter wizard 0
  window "$wizard_caption" && state 1045 12324 && key Tab && state 12324 12324 && key shift+Tab &&
    state 1045 12324 && key Return && expect '^page 130 ' && window "$wizard_caption" &&
    expect '^state focus=[0-9]+ default=12324$' && key Return && expect '^page 132 ' && window "$wizard_caption" &&
    key alt+b && expect '^active "Select Columns' && key alt+n && expect '^active "Select Data Sort' &&
    expect '^state focus=[0-9]+ default=12324$' && key Return && expect '^page 133 ' &&
    expect '^state focus=[0-9]+ default=12325$' && key Return && expect '^close sheet FINISH$' && done_with 12325
}

wizard_esc_on_every_step() {
  local step
  for step in 0 1 2 3; do
    start "wizard_esc_$step" wizard "$step"
    window "$wizard_caption" && key Escape && expect '^close sheet CANCEL$' && done_with 2 || return 1
  done
  start wizard_cancel_0 wizard 0
  window "$wizard_caption" && click 2 && expect '^close sheet CANCEL$' && done_with 2
}

# forward ID...: Tab from the first reaches each of the others; Shift+Tab goes back one.
forward() {
  focus "$1" || return 1
  local id previous=$1; shift
  for id in "$@"; do key Tab; focus "$id" || return 1; done
  key shift+Tab; focus "${@: -2:1}"
}

wizard_tab_order() {
  # The page's controls in template order (disabled ones skipped), then the wizard's buttons.
  start wizard_tab_1 wizard 1
  window "$wizard_caption" && tabs 1047 1007 1010 1011 1009 1012 1008 1015 12323 12324 2 9 && key Escape && done_with 2 || return 1
  start wizard_tab_2 wizard 2
  window "$wizard_caption" && forward 1058 1050 1009 1054 1051 12323 12324 2 9 && key Escape && done_with 2 || return 1
  start wizard_tab_3 wizard 3
  window "$wizard_caption" && tabs 1027 1024 1025 1026 1066 1067 1022 1068 1069 1070 1071 12323 12325 2 9 &&
    key Escape && done_with 2
}

wizard_accelerators() {
  # Columns: Move Down moves the first chosen column (the one selected) down; Move Up is disabled.
  start wizard_keys_1 wizard 1
  # Move Up disables itself once the column is back on top: the focus goes to the list
  # it moves in, so the keys go on working (Esc cancels).
  window "$wizard_caption" && key alt+d && expect '^clicked 1015$' && key alt+u && expect '^clicked 1013$' &&
    focus 1008 && key Down && expect '^rows 1008 1$' && key Escape &&
    expect '^close sheet CANCEL$' && done_with 2 || return 1
  # Filters: Clear and Clear All, and Save Filters.
  start wizard_keys_3 wizard 3
  window "$wizard_caption" && key alt+c && expect '^clicked 1025$' && key alt+l && expect '^clicked 1026$' &&
    key alt+s && expect '^clicked 1071$' && window real-input-host && key Return && window "$wizard_caption" &&
    click 2 && done_with 2
}

# ---- beneath a modal window --------------------------------------------------------------
group_beneath() { echo beneath_order_by beneath_login; }

beneath_order_by() {
  # With the Order By chooser open, clicks on the wizard beneath (its Next, its lists)
  # and its accelerators change nothing; the chooser's OK applies to the sort step only,
  # and the same click on Next once the chooser is gone goes to step 4. The chooser
  # covers the wizard's top left corner: the clicks go where it does not (a click on
  # a list's empty part would clear its selection).
  local sort="Select Data Sort Order"
  start beneath_order_by wizard 2
  window "$wizard_caption" && key Tab Tab Tab Tab && focus 1051 && key Down && expect '^rows 1051 0$' &&
    key alt+o && expect '^clicked 1057$' && window "Order By" && key Tab Tab && focus 1063 && expect '^rows 1063 1$' &&
    click 12324 "$sort" && click_in 1051 100 140 "$sort" && click_in 1050 90 238 "$sort" && key alt+n alt+b &&
    key Up && expect '^rows 1063 0$' && key Return && expect '^close 141 OK$' &&
    absent '^(page|clicked 12324|clicked 12323)' && window "$wizard_caption" &&
    focus 1057 && key shift+Tab && expect '^rows 1051 0$' && click 12324 && expect '^page 133 ' &&
    key Escape && expect '^close sheet CANCEL$' && expect '^column SALES.SALE_DATE display=1 sort=1/1$' && done_with 2
}

beneath_login() {
  # The host window beneath the login dialog takes no click until the dialog has ended.
  start beneath_login host-login
  expect '^host-window ' && local at=${line#host-window } &&
    window "$login_caption" && click_screen $at && key Escape && expect '^result login 2$' &&
    absent '^host-click' && click_screen $at && expect '^host-click ' && done_with 2
}

# ---- the small dialogs ---------------------------------------------------------------------
group_choosers() { echo pick_keys values_keys values_type_ahead values_ctrl_shift name_keys builder_keys; }

pick_keys() {
  start pick_esc pick
  window "Order By" && key Escape && expect '^close 141 CANCEL$' && done_with 2 || return 1
  start pick_enter pick
  # Descending is chosen as it opens, with the caret on it: Up is Ascending.
  window "Order By" && tabs 1 2 1063 9 && key Tab Tab && focus 1063 && key Up && expect '^rows 1063 0$' && key alt+h && expect '^clicked 9$' && key Return &&
    expect '^result pick 1 selected=0$' && done_with 1
}

values_keys() {
  start values_esc values
  window '[^"]*' && key Escape && expect '^close 136 CANCEL$' && done_with 2 || return 1
  start values_enter values
  # OK waits for a chosen value.
  window '[^"]*' && tabs 2 1036 1064 && key Tab && focus 1036 && key Down && expect '^rows 1036 ' && key alt+h &&
    expect '^clicked 1064$' && key alt+c && expect '^close 136 CANCEL$' && done_with 2 || return 1
  start values_ok values
  window '[^"]*' && key Tab && focus 1036 && key Down && expect '^rows 1036 0$' && key alt+o && expect '^close 136 OK$' && done_with 1
}

# The values: Bratislava, Brno, Debrecen, Krakow, Ljubljana, Zagreb, as shown.
values_type_ahead() {
  # Typing the start of a value moves to it; after a pause a new start is searched
  # from the row below, coming round from the top. The keys go on from there.
  start values_type_ahead values
  window '[^"]*' && key Tab && focus 1036 && xdotool type --delay 20 "zag" && expect '^rows 1036 5$' &&
    sleep 0.6 && xdotool type "b" && expect '^rows 1036 0$' && sleep 0.6 && xdotool type "b" &&
    expect '^rows 1036 1$' && key Down && expect '^rows 1036 2$' && key Return &&
    expect '^result values 1 chosen=Debrecen$' && done_with 1
}

values_ctrl_shift() {
  # Shift extends from the row clicked last, Ctrl adds or takes away one row; a click
  # beside the rows takes them all away (OK waits again), and a Shift-click from
  # there chooses the range from the row Ctrl-clicked last, which OK accepts.
  # Chosen values come back in the order shown.
  start values_ctrl_shift values
  window '[^"]*' && click_row 1036 1 && expect '^rows 1036 1$' && key shift+Down shift+Down &&
    expect '^rows 1036 1,2,3$' && click_row 1036 5 ctrl && expect '^rows 1036 1,2,3,5$' &&
    click_row 1036 2 ctrl && expect '^rows 1036 1,3,5$' && click_in 1036 60 200 && expect '^rows 1036 -$' &&
    key alt+o && absent '^close 136' && click_row 1036 4 shift && expect '^rows 1036 2,3,4$' &&
    key alt+o && expect '^close 136 OK$' && expect '^result values 1 chosen=Debrecen,Krakow,Ljubljana$' && done_with 1
}

name_keys() {
  start name_esc name
  window "Filter Name" && key Escape && expect '^close 143 CANCEL$' && done_with 2 || return 1
  start name_enter name
  # OK is disabled while the name is one a filter already has.
  window "Filter Name" && tabs 1069 1070 2 && xdotool type --delay 20 "West sales" &&
    key Tab && focus 1070 && key space && key Return &&
    expect '^result name 1 name=West sales copy=1$' && done_with 1
}

builder_keys() {
  start builder_esc builder
  window '[^"]*' && key Escape && expect '^close sheet CANCEL$' && done_with 2 || return 1
  start builder_enter builder
  window '[^"]*' && key Return && expect '^close sheet OK$' && done_with 1
}
