# The key table of both programs (ui/keys.cpp) as a user presses it on the
# real window: one row a key, with where the keyboard is, the answers to the
# boxes the key brings, and what must hold afterwards. Sourced by keys.sh
# (Linux) and windows/win_keys.sh; the game folder $GAME holds __Alpha.big,
# __Bravo.bit, __Charlie.bit, Data/Movies/EA_LOGO.bik and a stand-in
# generals.exe, and the test defines readme_shown (it waits until the readme
# is open in the system's text editor, and closes it) and game_started (it
# waits until the stand-in game has noted its start and ended, and clears
# the note).
#   run_key_table MAIN

key_rows=(
  # where | key | answers | what must hold
  'list|Return|Return Return Return|[ -f "$GAME/__Bravo.big" ] && [ -f "$GAME/__Alpha.bit" ]'
  'main|ctrl+d|Return Return|[ -f "$GAME/__Bravo.bit" ] && ! ls "$GAME" | grep -q "\.big$"'
  'list|Delete|Return Return|[ ! -e "$GAME/__Alpha.bit" ] && [ -f "$GAME/__Bravo.bit" ]'
  'main|ctrl+o|Escape|[ "$(ls "$GAME" | wc -l)" = 4 ]'
  'main|F1||readme_shown'
  'main|ctrl+p||game_started'
  'main|ctrl+t||wait_repainted "$tip" "$main" 6 363 343 61'
  # Tab from the list through the eight actions to "Next Tip", which Space presses.
  'list|Tab Tab Tab Tab Tab Tab Tab Tab space||wait_repainted "$tip" "$main" 6 363 343 61'
  'main|ctrl+shift+t||tools=$(wait_window "^Tools\.\.\.$")'
  'tools|ctrl+d|Return|[ -f "$GAME/Data/Movies/__EA_LOGO.bik" ]'
  'tools|ctrl+e|Return|[ -f "$GAME/Data/Movies/EA_LOGO.bik" ]'
  'tools|Escape||wait_gone "$tools"'
  'list|ctrl+shift+o||addons=$(wait_window "^Add-ons\.\.\.$")'
  'addons|Escape||wait_gone "$addons"'
)

run_key_table() {
    local main=$1 tools="" addons="" row where key answers check tip target
    for row in "${key_rows[@]}"; do
        IFS='|' read -r where key answers check <<<"$row"
        tip=$("$X_SHOT" --hash "$main" 6 363 343 61)  # the tip line, before
        target=$main
        [ "$where" = tools ] && target=$tools
        [ "$where" = addons ] && target=$addons
        [ "$where" = list ] && click_at "$main" 30 206  # the list's first row
        send_key "$target" "$key"
        for answer in $answers; do answer_box "$answer"; done
        eval "$check" || fail "the key $key in $where: $check"
        echo "key $key in $where: done"
    done
    # Play by the mouse too: the label-button below "View ReadMe File".
    click_at "$main" 250 318
    game_started
    echo "click on Play: done"
}

# Waits until no stand-in game runs any more: the program takes one that
# runs for the game and would start nothing.
no_game_runs() {
    for _ in $(seq 300); do
        pgrep -f 'generals\.exe' >/dev/null || return 0
        sleep 0.1
    done
    fail "the stand-in game did not end"
}
