# Real Alt+letter on the filter step and in the condition builder, sourced by
# real-input after scenarios.sh: the accelerators the other groups leave out.

group_filter_keys() { echo filter_step_accelerators description_checked_on_leaving unsavable_column_refused; }

filter_step_accelerators() {
  start filter_step_accelerators wizard 3
  # Add condition opens the builder; its Add disables itself once the condition is
  # in the box and hands the focus to the value, so Esc still closes the builder.
  window "$wizard_caption" && key alt+a && expect '^clicked 1024$' && window '[^"]*' &&
    click 1030 && xdotool type --delay 20 "Brno" && key alt+a && expect '^clicked 1010$' &&
    key Escape && expect '^close sheet CANCEL$' && window "$wizard_caption" || return 1
  # Add new filter and Rename ask for a name; Delete asks first, and No keeps the filter.
  key alt+f && expect '^clicked 1068$' && window "Filter Name" && key Escape && expect '^close 143 CANCEL$' &&
    window "$wizard_caption" && key alt+r && expect '^clicked 1070$' && window "Filter Name" &&
    key Escape && expect '^close 143 CANCEL$' && window "$wizard_caption" &&
    key alt+d && expect '^clicked 1069$' && window real-input-host && key n && expect '^messagebox .* -> NO$' &&
    window "$wizard_caption" && key Escape && expect '^close sheet CANCEL$' && done_with 2
}

# A description typed key by key may end in "$*" on its way to another text; Tab
# out of the box writes the record, so the user is told there, once, and the
# box and the saved filter keep "Price $". A click on Cancel tells nothing.
description_checked_on_leaving() {
  local refused='^messagebox [0-9]+ "A filter text cannot contain \$\*\$ or end with \$\*\." .* -> OK$'
  boxes() { [[ $(grep -c '^messagebox' "$log") == "$1" ]] || problem "$(grep -c '^messagebox' "$log") message boxes, not $1"; }
  start description_tab wizard 3
  window "$wizard_caption" && focus 1027 && key Tab Tab Tab Tab Tab && focus 1067 &&
    xdotool type --delay 20 'Price $*' && expect '^text 1067 "Price \$\*"$' && key Tab &&
    window real-input-host && key Return && expect "$refused" && window "$wizard_caption" && focus 1022 &&
    click 12325 && expect '^close sheet FINISH$' &&
    expect '^filter Eastern sales\$\*\$Price \$\$\*\$REGION' && done_with 12325 && boxes 1 || return 1
  start description_cancel wizard 3
  window "$wizard_caption" && focus 1027 && key Tab Tab Tab Tab Tab && focus 1067 &&
    xdotool type --delay 20 'Price $*' && expect '^text 1067 "Price \$\*"$' && click 2 &&
    expect '^close sheet CANCEL$' && done_with 2 && boxes 0
}

# A column whose name ends in "$*" can hold no saved condition: Alt+A on its row
# says so and opens no builder.
unsavable_column_refused() {
  start unsavable_column wizard 3 unsavable
  window "$wizard_caption" && focus 1027 && key alt+a && expect '^clicked 1024$' && window real-input-host &&
    key Return && expect '^messagebox [0-9]+ "The column SALES\.SALE_DATE\$\* cannot take a saved condition: ' &&
    window "$wizard_caption" && absent '^window 134' && key Escape && expect '^close sheet CANCEL$' && done_with 2
}

# "Kraków" typed with real keys under code page 1252 (the test sets LANG): the
# edit holds the code page's byte F3, and the drill of the sample cell through
# the stand-in delivers Kraków's 729 rows, every one in those bytes.
group_city_filter() { echo city_filter_typed_krakow; }

city_filter_typed_krakow() {
  [[ -f ${REAL_INPUT_DATABASE:-} ]] || { problem "REAL_INPUT_DATABASE names no sample warehouse"; return 1; }
  # A copy: Finish saves the filter step's filters.
  cp "$REAL_INPUT_DATABASE" "$work/city.db" || return 1
  export ZEVDTAPI_DATABASE="Z:${work//\//\\}\\city.db"
  start city_filter city-filter
  # The ó is pressed by its key name, on the key the driver gave it (see real-input).
  window '[^"]*' && click 1030 && xdotool type --delay 20 "Krak" && key oacute && xdotool type "w" &&
    expect '^text 1030 "Krak\\xf3w"$' &&
    key alt+a && expect '^clicked 1010$' && key Return && expect '^close sheet OK$' &&
    window "$wizard_caption" && click 12325 && expect '^close sheet FINISH$' &&
    expect '^result city-filter 0 rows=729 krakow=729$' && done_with 0
}
