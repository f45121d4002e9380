# The real-input scenarios, sourced by real-input. Each group_NAME prints the
# scenarios of a group; each scenario is a function that starts the host,
# types and clicks, and waits for what must follow. Control ids are the
# templates'; the wizard's buttons are Back 12323, Next 12324, Finish 12325.

login_caption="Drill-Through Login"
reports_caption="Select Drill-Through Report"
wizard_caption="Drill-Through Report"

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
    # The focus came back to OK. Windows documents Esc on a box with OK alone as OK; Wine answers CANCEL. Either closes it.
    key Escape && expect '^messagebox 50003 .* OK -> (OK|CANCEL)$' && window "$login_caption" && key Tab Tab Tab Tab Tab && focus 1014 &&
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
