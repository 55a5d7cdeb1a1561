#!/bin/bash
# The demo quizzes built by the Windows vorlo-pack (with its default player, the one beside it)
# and played under wine64 through the end-to-end driver: pack_e2e.sh NAME DRIVER_EXE VORLO_PACK_EXE
E2E_SCENARIO=${1:?scenario name}
E2E_DRIVER=${2:?driver exe}
TOOL=${3:?vorlo-pack exe}
EXAMPLES=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../examples" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/lib.sh"

# build SOURCE EXE [FLAGS...]: the tool under Wine; its output goes to the test's log.
build() {
    local source=$1 exe=$2
    shift 2
    "$WINE" "$TOOL" build "$source" -o "$exe" "$@" </dev/null | tr -d '\r'
    [ "${PIPESTATUS[0]}" -eq 0 ] || abort "vorlo-pack build $source failed"
    [ -s "$exe" ] || abort "vorlo-pack wrote no $exe"
}

scenario_text_scrambled() {
    build "$EXAMPLES/capitales/capitales.toml" "$E2E_DIR/capitales.exe" --scramble
    start_player "$E2E_DIR/capitales.exe"
    wait_player
    check "caption is the title" "$(drv get main 0)" "Capitales d'Europe"
    check "counter" "$(drv get header 32)" " 0 / 30"
    check "question 1" "$(drv get panel 3000:1)" "Quelle est la capitale de la France ?"
    check "answer 1" "$(drv answer panel 4001 ' paris')" "BRAVO"
    check "answer 2" "$(drv answer panel 4002 Berln)" "Quasiment"
    check "counter after one" "$(drv get header 32)" " 1 / 30"
    check "first code" "$(drv get header 30)" "Bien parti"
    close_player
}

scenario_pictures() {
    build "$EXAMPLES/drapeaux/drapeaux.toml" "$E2E_DIR/drapeaux.exe"
    start_player "$E2E_DIR/drapeaux.exe"
    wait_player
    check "caption is the title" "$(drv get main 0)" "Drapeaux d'Europe"
    check "counter" "$(drv get header 32)" " 0 / 10"
    check "picture box of a JPEG" "$(drv exists panel 9901)" "1"
    check "answer 1" "$(drv answer panel 4001 France)" "BRAVO"
    check "extra text shown" "$(drv get panel 8001)" "Bleu, blanc, rouge depuis 1794."
    check "answer 5 (a PNG flag)" "$(drv answer panel 4005 Irlande)" "BRAVO"
    check "counter after two" "$(drv get header 32)" " 2 / 10"
    check "second code" "$(drv get header 30)" "VO"
    close_player
}

"scenario_$E2E_SCENARIO"
finish
