# Real F1 in message boxes, sourced by real-input after scenarios.sh: the key
# goes through the X server and Wine's keyboard, as a user's does.

group_help() { echo help_f1_in_a_login_message; }

help_f1_in_a_login_message() {
  # OK without a user name: F1 in the refusal opens the login's help; the box stays until answered.
  start help_f1_in_a_login_message login
  window "$login_caption" && key alt+o && window real-input-host &&
    key F1 && expect '^help .*idh_drill_through_login_dialog_box.html$' &&
    key Return && expect '^messagebox 50003 .* OK -> OK$' && window "$login_caption" &&
    key Escape && expect '^close 129 CANCEL$' && done_with 2
}
