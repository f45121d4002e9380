# Real Alt+letter on the filter step and in the condition builder, sourced by
# real-input after scenarios.sh: the accelerators the other groups leave out.

group_filter_keys() { echo filter_step_accelerators; }

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
  window '[^"]*' && click 1030 && xdotool type --delay 20 "Kraków" && expect '^text 1030 "Krak\\xf3w"$' &&
    key alt+a && expect '^clicked 1010$' && key Return && expect '^close sheet OK$' &&
    window "$wizard_caption" && click 12325 && expect '^close sheet FINISH$' &&
    expect '^result city-filter 0 rows=729 krakow=729$' && done_with 0
}
