#!/bin/bash
# End-to-end scenarios of the player: scenarios.sh NAME DRIVER_EXE PLAYER_EXE
# Each scenario starts its own copy of PLAYER_EXE in a fresh folder, works it through vorlo-driver
# (and through real X input in xinput) and checks what a person would see: texts, positions,
# scroll positions, pixels, and the answers file the player writes.
E2E_SCENARIO=${1:?scenario name}
E2E_DRIVER=${2:?driver exe}
PLAYER=${3:?player exe}
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# repeat TEXT N: TEXT N times, joined by '|' as the driver joins a run of controls.
repeat() {
    local i out=$1
    for ((i = 1; i < $2; i++)); do out+="|$1"; done
    echo "$out"
}

# The verdicts quiz: 33 text questions, code line k reads "code-k".
QUESTIONS=33
code_for() { if [ "$1" -eq 0 ]; then echo "      "; else echo "code-$1"; fi; }
counter_for() { echo " $1 / $QUESTIONS"; }

# progress_is WHAT SOLVED: the counter and the code box for that many solved questions.
progress_is() {
    check "$1: counter" "$(drv get header 32)" "$(counter_for "$2")"
    check "$1: code box" "$(drv get header 30)" "$(code_for "$2")"
}

# layout_is WHAT: the main window's three children placed for its current client size.
layout_is() {
    local w h
    read -r w h < <(drv client main 0)
    check "$1: panel" "$(drv rect panel 0)" "5 50 $((w - 11)) $((h - 68))"
    check "$1: header" "$(drv rect header 0)" "5 2 $((w - 11)) 49"
    check "$1: footer" "$(drv rect main 8000)" "$((w - 145)) $((h - 16)) 150 15"
}

scenario_start_layout() {
    start_player "$PLAYER"
    wait_player
    check "caption is the title" "$(drv get main 0)" "E2E verdicts"
    local dx dy dw dh
    read -r dx dy dw dh < <(drv desktop)
    check "800x600, centred on the desktop" "$(drv rect main 0)" \
        "$((dx + (dw - 800) / 2)) $((dy + (dh - 600) / 2)) 800 600"
    layout_is "at start"
    check "counter before any verdict" "$(drv get header 32)" " 0 / 33"
    check "code box before any verdict" "$(drv get header 30)" ""
    check "save button" "$(drv get header 27)" "Sauver"
    check "explanation" "$(drv get header 28)" "Questions de test."
    check "author" "$(drv get header 26)" "Vorlo"
    check "code caption" "$(drv get header 31)" " Code :"
    check "no hide box in a text quiz" "$(drv exists header 33)" "0"
    check "no extra labels in a text quiz" "$(drv exists panel 8001)" "0"
    check "question 1 text" "$(drv get panel 3000:1)" "Capitale de la France ?"
    check "question 33 text" "$(drv get panel 3000:33)" "La Ville "$'\xe9'"ternelle ?"
    check "number label 2" "$(drv get panel 2000:2)" "2."
    check "number label 1 place" "$(drv rect panel 2000:1)" "26 7 19 17"
    check "question label 1 place" "$(drv rect panel 3000:1)" "50 5 550 20"
    check "answer box 1 place" "$(drv rect panel 4001)" "610 5 170 20"
    check "status label 1 place" "$(drv rect panel 5001)" "790 5 100 20"
    check "answer box 2 one row lower" "$(drv rect panel 4002)" "610 30 170 20"
    check "answer box 33 place" "$(drv rect panel 4033)" "610 805 170 20"
    check "no box 34" "$(drv exists panel 4034)" "0"
    check "every status label reads ?" "$(drv get panel 5001..5033)" "$(repeat '?' 33)"
    local cw ch
    read -r cw ch < <(drv client panel 0)
    check "vertical bar: content 830 high" "$(drv scrollinfo v)" "0 0 828 $((ch - 1))"
    check "horizontal bar: content 900 wide" "$(drv scrollinfo h)" "0 0 898 $((cw - 1))"
    close_player
}

# box | typed | verdict: one row per verdict kind, in the order typed.
VERDICT_ROWS=(
    "4001||?"
    "4001|Paris France|Trop long"
    "4001|La ville de Paris en France, je crois|Pas loin"
    "4001|  paris  |BRAVO"
    "4002|xyz|FAUX"
    "4002|More|Anagramme"
    "4003|constantin|Trop court"
    "4004|Leonard de Vinci|Quasiment"
    "4004|l\\xe9onard de|Pas loin"
    "4004|L\\xe9onard  de   Vinci|BRAVO"
    "4005|bord|FAUX"
    "4006|le rouge et noir|y a de l'id\\xe9e"
    "4007|Madr|Presque"
    "4007|Madird|Anagramme"
    "4008|ile|FAUX"
    "4008|\\xeele|BRAVO"
)

scenario_verdicts() {
    start_player "$PLAYER"
    wait_player
    local row box typed want
    for row in "${VERDICT_ROWS[@]}"; do
        IFS='|' read -r box typed want <<<"$row"
        check "box $box, typed '$typed'" "$(answer "$box" "$typed")" "$(printf '%b' "$want")"
    done
    progress_is "after the verdict rows" 3
    close_player
}

scenario_progress() {
    start_player "$PLAYER"
    wait_player
    check "first verdict FAUX" "$(answer 4001 xyz)" "FAUX"
    progress_is "first change, none solved" 0
    answer 4001 Paris >/dev/null
    progress_is "one solved" 1
    answer 4002 Rome >/dev/null
    progress_is "two solved" 2
    answer 4009 Berlin >/dev/null
    progress_is "three solved" 3
    check "right turned near" "$(answer 4002 Romes)" "Quasiment"
    progress_is "a right answer turned wrong" 2
    answer 4001 "" >/dev/null
    progress_is "emptied" 1
    answer 4009 x >/dev/null
    progress_is "the last solved one turned wrong" 0
    close_player
}

scenario_focus_judges() {
    start_player "$PLAYER"
    wait_player
    check "focus into box 5" "$(drv focus panel 4005)" "4005"
    drv set panel 4005 bord >/dev/null
    check "typing alone judges nothing" "$(drv get panel 5005)" "?"
    drv focus panel 4006 >/dev/null
    check "leaving the box judges it" "$(drv poll 3000 FAUX get panel 5005)" "FAUX"
    drv set panel 4006 "Le rouge et le noir" >/dev/null
    drv key panel 4006 tab >/dev/null
    check "Tab moves to the next box" "$(drv poll 3000 4007 focused)" "4007"
    check "Tab judges the box left" "$(drv poll 3000 BRAVO get panel 5006)" "BRAVO"
    progress_is "one solved by leaving" 1
    close_player
}

scenario_f1_copy() {
    start_player "$PLAYER"
    wait_player
    answer 4001 Paris >/dev/null
    drv focus panel 4003 >/dev/null
    drv set panel 4003 Rome >/dev/null
    drv key panel 4003 f1 >/dev/null
    check "the solved box keeps its answer" "$(drv get panel 4001)" "Paris"
    check "the solved box stays right" "$(drv get panel 5001)" "BRAVO"
    check "every unsolved box got the answer" "$(drv get panel 4002..4033)" "$(repeat Rome 32)"
    check "question 2 solved by the copy" "$(drv get panel 5002)" "BRAVO"
    check "question 33 solved by the copy" "$(drv get panel 5033)" "BRAVO"
    check "question 32 judged: anagram" "$(drv get panel 5032)" "Anagramme"
    check "question 3 judged" "$(drv get panel 5003)" "FAUX"
    check "question 9 judged" "$(drv get panel 5009)" "FAUX"
    progress_is "after F1" 3
    check "the focus is back in the F1 box" "$(drv focused)" "4003"
    drv set panel 4003 "" >/dev/null
    drv key panel 4003 f1 >/dev/null
    check "F1 on an empty box empties the unsolved ones" "$(drv get panel 4001..4005)" "Paris|Rome|||"
    check "and judges them" "$(drv get panel 5001..5005)" "BRAVO|BRAVO|?|?|?"
    progress_is "after F1 with nothing" 3
    close_player
}

scenario_save_keys() {
    start_player "$PLAYER"
    wait_player
    check "no answers file before saving" "$(file_hex "$ANSWERS")" "(no file)"
    drv set panel 4001 Paris >/dev/null
    drv key panel 4001 f2 >/dev/null
    wait_file "$ANSWERS" || fail "F2 wrote no answers file"
    check "F2 writes every box" "$(file_hex "$ANSWERS")" "$({ printf 'Paris\r\n'; empty_lines 32; } | hex)"
    rm -f "$ANSWERS"
    local long
    long=$(printf 'y%.0s' $(seq 300))
    drv set panel 4003 "$long" >/dev/null
    drv key panel 4003 f2 >/dev/null
    wait_file "$ANSWERS" || fail "F2 wrote no answers file"
    check "a box is saved cut to 259 characters" "$(sed -n 3p "$ANSWERS" | tr -d '\r')" "${long:0:259}"
    drv set panel 4003 "" >/dev/null
    rm -f "$ANSWERS"
    drv set panel 4002 "L\\xe9o" >/dev/null
    check "Sauver clicked" "$(drv click header 27)" "clicked"
    wait_file "$ANSWERS" || fail "Sauver wrote no answers file"
    check "Sauver writes every box, bytes as typed" "$(file_hex "$ANSWERS")" \
        "$({ printf 'Paris\r\nL\xe9o\r\n'; empty_lines 31; } | hex)"
    close_player
}

scenario_close_empty() {
    start_player "$PLAYER"
    wait_player
    close_player
    check "nothing typed: 33 empty lines" "$(file_hex "$ANSWERS")" "$(empty_lines 33 | hex)"
    check "no other file left behind" "$(cd "$E2E_DIR" && echo *)" "e2e_verdicts.exe e2e_verdicts.txt"
    check "the window has gone" "$(drv gone 1000 >/dev/null && echo gone)" "gone"
}

scenario_restore() {
    start_player "$PLAYER"
    wait_player
    answer 4001 Paris >/dev/null
    answer 4002 xyz >/dev/null
    answer 4004 "L\\xe9onard de Vinci" >/dev/null
    answer 4009 Berlin >/dev/null
    close_player
    check "closing writes the boxes" "$(file_hex "$ANSWERS")" \
        "$({ printf 'Paris\r\nxyz\r\n\r\nL\xe9onard de Vinci\r\n'; empty_lines 4; printf 'Berlin\r\n'; empty_lines 24; } | hex)"
    start_player "$PLAYER"
    wait_player
    check "box 1 restored" "$(drv get panel 4001)" "Paris"
    check "box 2 restored" "$(drv get panel 4002)" "xyz"
    check "box 3 restored empty" "$(drv get panel 4003)" ""
    check "box 4 restored byte for byte" "$(drv get panel 4004)" "L"$'\xe9'"onard de Vinci"
    check "box 9 restored" "$(drv get panel 4009)" "Berlin"
    check "verdict 1 restored" "$(drv get panel 5001)" "BRAVO"
    check "verdict 2 restored" "$(drv get panel 5002)" "FAUX"
    check "verdict 3 restored" "$(drv get panel 5003)" "?"
    check "verdict 4 restored" "$(drv get panel 5004)" "BRAVO"
    progress_is "restored" 3
    close_player
}

# A saved line of 150 characters fills its box with the first 100; the next box still gets the next
# line; a file shorter than the quiz leaves the remaining boxes empty.
scenario_long_line() {
    local first100
    first100="Paris$(printf '%95s' '')"
    { printf '%s%s\r\n' "$first100" "$(printf 'x%.0s' $(seq 50))"; printf 'Rome\r\nconstantin\r\n'; } \
        >"$E2E_DIR/$(basename "${PLAYER%.*}").txt"
    start_player "$PLAYER"
    wait_player
    check "box 1 holds the first 100 characters" "$(drv get panel 4001)" "$first100"
    check "box 1 judged on those" "$(drv get panel 5001)" "BRAVO"
    check "box 2 gets the next line" "$(drv get panel 4002)" "Rome"
    check "box 3 gets the third line" "$(drv get panel 4003)" "constantin"
    check "box 3 judged" "$(drv get panel 5003)" "Trop court"
    check "box 4 past the end of the file" "$(drv get panel 4004)" ""
    progress_is "restored from the long line" 2
    close_player
}

# The answers file belongs to the current directory, not to the executable's folder.
scenario_answers_in_cwd() {
    printf 'Paris\r\n' >"$E2E_DIR/e2e_verdicts.txt"
    mkdir -p "$E2E_DIR/bin"
    printf 'Rome\r\n' >"$E2E_DIR/bin/e2e_verdicts.txt"
    start_player "$PLAYER" bin
    wait_player
    check "restored from the current directory" "$(drv get panel 4001)" "Paris"
    drv set panel 4002 Rome >/dev/null
    close_player
    check "saved into the current directory" "$(file_hex "$ANSWERS")" \
        "$({ printf 'Paris\r\nRome\r\n'; empty_lines 31; } | hex)"
    check "the executable's folder untouched" "$(file_hex "$E2E_DIR/bin/e2e_verdicts.txt")" "$(printf 'Rome\r\n' | hex)"
}

# scrolled_to WHAT POS: the panel's bar and its controls agree on the position POS.
scrolled_to() {
    check "$1: position" "$(drv poll 3000 "$2 0" scrollpos)" "$2 0"
    check "$1: box 1 moved" "$(drv rect panel 4001)" "610 $((5 - $2)) 170 20"
}

scenario_scroll() {
    start_player "$PLAYER"
    wait_player
    # A lower window, so that a page is less than half the content and Page Down moves a full page.
    check "resized" "$(drv resize 800 400)" "800 400"
    local page ch
    read -r _ _ _ page < <(drv scrollinfo v)
    read -r _ ch < <(drv client panel 0)
    check "the page is the visible height" "$page" $((ch - 1))
    scrolled_to "at start" 0
    drv wheel -120 >/dev/null
    scrolled_to "one notch down" 50
    drv wheel -120 >/dev/null
    scrolled_to "two notches down" 100
    drv wheel 120 >/dev/null
    scrolled_to "one notch up" 50
    # Each ignored delta is followed by a notch whose post queues behind whatever it would post.
    drv wheel 240 >/dev/null
    drv wheel -120 >/dev/null
    scrolled_to "240 ignored" 100
    drv wheel -240 >/dev/null
    drv wheel 120 >/dev/null
    scrolled_to "-240 ignored" 50
    drv wheel 60 >/dev/null
    drv wheel -120 >/dev/null
    scrolled_to "60 ignored" 100
    drv vscroll top >/dev/null
    scrolled_to "SB_TOP" 0
    drv key panel 4001 next >/dev/null
    scrolled_to "Page Down in a box" "$page"
    drv key panel 4001 prior >/dev/null
    scrolled_to "Page Up in a box" 0
    drv key panel 4001 down >/dev/null
    scrolled_to "Down arrow in a box: a page" "$page"
    drv key panel 4001 up >/dev/null
    scrolled_to "Up arrow in a box: a page back" 0
    drv vscroll linedown >/dev/null
    scrolled_to "SB_LINEDOWN" 310
    local max
    read -r _ _ max page < <(drv scrollinfo v)
    drv vscroll bottom >/dev/null
    scrolled_to "SB_BOTTOM: max - page + 1" $((max - page + 1))
    check "SB_BOTTOM: the last row ends 5 px above the bottom" "$(drv rect panel 4033)" \
        "610 $((ch - 25)) 170 20"
    drv hscroll lineright >/dev/null
    check "SB_LINERIGHT: one pixel" "$(drv scrollpos)" "$((max - page + 1)) 1"
    check "SB_LINERIGHT: the controls moved left" "$(drv rect panel 4033)" "609 $((ch - 25)) 170 20"
    close_player
}

scenario_resize() {
    start_player "$PLAYER"
    wait_player
    check "resized" "$(drv resize 700 500)" "700 500"
    layout_is "700x500"
    local hw
    read -r hw _ < <(drv client header 0)
    check "Sauver follows the right edge" "$(drv rect header 27)" "$((hw - 204)) 25 55 18"
    check "the title narrows" "$(drv rect header 29)" "110 3 $((hw - 350)) 18"
    check "the counter stays" "$(drv rect header 32)" "10 1 80 20"
    drv vscroll bottom >/dev/null
    check "enlarged" "$(drv resize 800 700)" "800 700"
    layout_is "800x700"
    local pos ch
    read -r pos _ < <(drv scrollpos)
    read -r _ ch < <(drv client panel 0)
    check "at the bottom, enlarging pulls the content down" "$pos" $((830 - ch))
    check "the controls follow the clamped position" "$(drv rect panel 4001)" "610 $((5 - pos)) 170 20"
    close_player
}

scenario_pairs() {
    start_player "$PLAYER"
    wait_player
    check "counter" "$(drv get header 32)" " 0 / 4"
    check "a picture quiz has the hide box" "$(drv get header 33)" "Cacher"
    check "first caption" "$(drv get panel 156:1)" "Ville"
    check "second caption" "$(drv get panel 156:2)" "Pays"
    check "number label 2" "$(drv get panel 2002)" "2."
    check "box 1 place" "$(drv rect panel 4001)" "106 15 201 20"
    check "box 2 under it" "$(drv rect panel 4002)" "106 34 201 20"
    check "status 1 place" "$(drv rect panel 5001)" "306 15 60 20"
    check "question 2, first box" "$(drv rect panel 4003)" "396 15 201 20"
    check "question 4 starts the second row" "$(drv rect panel 4007)" "106 85 201 20"
    check "no box 9" "$(drv exists panel 4009)" "0"
    check "city right" "$(answer 4001 Paris)" "BRAVO"
    check "country wrong" "$(answer 4002 Espagne)" "FAUX"
    check "half a question is not solved" "$(drv get header 32)" " 0 / 4"
    check "country right" "$(answer 4002 France)" "BRAVO"
    check "both boxes solve it" "$(drv get header 32)" " 1 / 4"
    check "code for one" "$(drv get header 30)" "p-1"
    close_player
    check "one line per box, 8 in all" "$(file_hex "$ANSWERS")" \
        "$({ printf 'Paris\r\nFrance\r\n'; empty_lines 6; } | hex)"
}

scenario_pairs_text() {
    start_player "$PLAYER"
    wait_player
    check "one box per question" "$(drv exists panel 4003)$(drv exists panel 4004)" "10"
    check "the text layout is kept" "$(drv rect panel 4002)" "610 30 170 20"
    check "counter" "$(drv get header 32)" " 0 / 3"
    drv set panel 4001 Paris >/dev/null
    drv set panel 4003 Berlin >/dev/null
    close_player
    check "two lines per question, empty past the boxes" "$(file_hex "$ANSWERS")" \
        "$({ printf 'Paris\r\n\r\nBerlin\r\n'; empty_lines 3; } | hex)"
}

scenario_extra_text() {
    start_player "$PLAYER"
    wait_player
    check "extra labels hidden at start" "$(visibility 8001 8002 8003 8004)" "0 0 0 0"
    check "extra label holds its text" "$(drv get panel 8001)" "Tour Eiffel"
    check "extra label place" "$(drv rect panel 8001)" "46 61 260 65"
    check "box 1 place" "$(drv rect panel 4001)" "46 15 260 20"
    check "status 1 under it" "$(drv rect panel 5001)" "46 34 260 20"
    check "question 4 starts the second row" "$(drv rect panel 4004)" "46 165 260 20"
    answer 4001 Paris >/dev/null
    check "solving shows its own extra text" "$(visibility 8001 8002 8003 8004)" "1 0 0 0"
    answer 4001 Pari >/dev/null
    check "a wrong verdict hides it again" "$(visibility 8001 8002 8003 8004)" "0 0 0 0"
    close_player
}

scenario_reveal_all() {
    start_player "$PLAYER"
    wait_player
    check "hidden at start" "$(visibility 8001 8002 8003)" "0 0 0"
    answer 4001 Paris >/dev/null
    answer 4002 Rome >/dev/null
    check "two of three solved: still hidden" "$(visibility 8001 8002 8003)" "0 0 0"
    answer 4003 Berlin >/dev/null
    check "all solved: all shown" "$(visibility 8001 8002 8003)" "1 1 1"
    check "counter" "$(drv get header 32)" " 3 / 3"
    answer 4001 x >/dev/null
    check "a wrong verdict hides its own" "$(visibility 8001 8002 8003)" "0 1 1"
    answer 4001 Paris >/dev/null
    check "solved again: all shown again" "$(visibility 8001 8002 8003)" "1 1 1"
    close_player
}

scenario_word_count() {
    start_player "$PLAYER"
    wait_player
    check "visible from the start" "$(visibility 8001 8002 8003 8004)" "1 1 1 1"
    check "one word" "$(drv get panel 8001)" "en 1 mot"
    check "apostrophe and hyphens" "$(drv get panel 8002)" "en 4 mots"
    check "! shields the next character" "$(drv get panel 8003)" "en 1 mot"
    check "hyphen and spaces" "$(drv get panel 8004)" "en 4 mots"
    check "word-count label place" "$(drv rect panel 8001)" "46 61 260 20"
    check "question 4 starts the second row" "$(drv rect panel 4004)" "46 105 260 20"
    check "wrong answer" "$(answer 4001 Rome)" "FAUX"
    check "a wrong verdict keeps the hint" "$(drv visible panel 8001)" "1"
    close_player
}

# The bare player carries no quiz: it says so, then offers its built-in test quiz.
scenario_no_quiz() {
    start_player "$PLAYER"
    check "message" "$(drv msgbox 30000)" "Fichier questionnaire"
    wait_player
    check "test quiz counter" "$(drv get header 32)" " 0 / 7"
    check "two boxes per question" "$(drv exists panel 4014)$(drv exists panel 4015)" "10"
    check "first box" "$(answer 4001 test)" "BRAVO"
    check "second box" "$(answer 4002 TEST)" "BRAVO"
    check "one solved" "$(drv get header 32)" " 1 / 7"
    close_player
}

# A real wheel notch over the question panel scrolls it by one step of 50 px.
scenario_xwheel() {
    start_player "$PLAYER"
    wait_player
    local wid x y
    wid=$(timeout 20 xdotool search --sync --name '^E2E verdicts$' | head -1)
    [ -n "$wid" ] || abort "no X window named E2E verdicts"
    xdotool windowfocus --sync "$wid"
    read -r x y < <(drv screen panel 3000:3)
    xdotool mousemove $((x + 100)) $((y + 10)) click 5
    check "a notch towards the user: 50 px down" "$(drv poll 3000 "50 0" scrollpos)" "50 0"
    check "the controls followed" "$(drv rect panel 4001)" "610 -45 170 20"
    xdotool click 4
    check "a notch away from the user: back to the top" "$(drv poll 3000 "0 0" scrollpos)" "0 0"
    close_player
}

# xclick WIN ID: a real mouse click inside a control, 20 px from its left edge.
xclick() {
    local x y
    read -r x y < <(drv screen "$1" "$2")
    xdotool mousemove $((x + 20)) $((y + 8)) click 1
}

# xtype BOX TEXT: real keys: click into the box, clear it, type TEXT.
xtype() {
    xclick panel "$1"
    check "click gives box $1 the focus" "$(drv poll 3000 "$1" focused)" "$1"
    xdotool key End shift+Home BackSpace
    xdotool type --delay 20 "$2"
}

# colour_kind COLOUR: a verdict's colour, the bare screen (black: no window there) or another.
colour_kind() {
    case $1 in
    "srgb(0,255,0)" | "srgb(255,0,0)" | "srgb(255,100,0)" | "srgb(255,203,38)") echo verdict ;;
    "srgb(0,0,0)") echo "bare screen" ;;
    *) echo other ;;
    esac
}

scenario_xinput() {
    start_player "$PLAYER"
    wait_player
    local wid
    wid=$(timeout 20 xdotool search --sync --name '^E2E verdicts$' | head -1)
    [ -n "$wid" ] || abort "no X window named E2E verdicts"
    # No window manager: X focus follows the pointer unless a window is given it.
    xdotool windowfocus --sync "$wid"
    xtype 4001 Paris
    xdotool key Return
    check "typed Paris + Enter" "$(drv poll 3000 BRAVO get panel 5001)" "BRAVO"
    check "the box holds what was typed, capital kept" "$(drv get panel 4001)" "Paris"
    xtype 4002 Mauvais
    xdotool key Return
    check "typed a wrong answer + Enter" "$(drv poll 3000 FAUX get panel 5002)" "FAUX"
    xtype 4003 constantin
    xdotool key Tab
    check "Tab leaves the box" "$(drv poll 3000 4004 focused)" "4004"
    check "leaving judged it" "$(drv poll 3000 "Trop court" get panel 5003)" "Trop court"
    check "Enter and Tab never reach the box as characters" "$(drv get panel 4003)" "constantin"
    answer 4007 Madird >/dev/null
    # The status column lies right of the panel's visible width: scroll it into view.
    drv hscroll pageright >/dev/null
    local hmax hpage
    read -r _ _ hmax hpage < <(drv scrollinfo h)
    check "scrolled right to the end" "$(drv scrollpos)" "0 $((hmax - hpage + 1))"
    check "BRAVO painted green" "$(poll_colour 5001 'srgb(0,255,0)')" "srgb(0,255,0)"
    check "FAUX painted red" "$(poll_colour 5002 'srgb(255,0,0)')" "srgb(255,0,0)"
    check "a hint painted amber" "$(poll_colour 5003 'srgb(255,203,38)')" "srgb(255,203,38)"
    check "Anagramme painted orange" "$(poll_colour 5007 'srgb(255,100,0)')" "srgb(255,100,0)"
    local unjudged
    unjudged=$(status_pixel 5005)
    check "? keeps the system colours (saw $unjudged)" "$(colour_kind "$unjudged")" "other"
    local saved
    saved=$({ printf 'Paris\r\nMauvais\r\nconstantin\r\n\r\n\r\n\r\nMadird\r\n'; empty_lines 26; } | hex)
    xdotool key F2
    wait_file "$ANSWERS" || fail "the F2 key wrote no answers file"
    check "the F2 key saves" "$(file_hex "$ANSWERS")" "$saved"
    rm -f "$ANSWERS"
    xclick header 27
    wait_file "$ANSWERS" || fail "a click on Sauver wrote no answers file"
    check "a click on Sauver saves" "$(file_hex "$ANSWERS")" "$saved"
    xclick panel 4004
    xdotool key Next
    local max page bottom want
    read -r _ _ max page < <(drv scrollinfo v)
    bottom=$((max - page + 1))
    want="$((page < bottom ? page : bottom)) $((hmax - hpage + 1))"
    check "the Page Down key scrolls a page, or to the bottom" "$(drv poll 3000 "$want" scrollpos)" "$want"
    close_player
}

declare -F "scenario_$E2E_SCENARIO" >/dev/null || abort "no scenario named $E2E_SCENARIO"
"scenario_$E2E_SCENARIO"
finish
