# Helpers for the end-to-end scenarios, sourced by scenarios.sh: start a player in a folder of its
# own, drive it with vorlo-driver, check what it shows and writes. Needs E2E_DRIVER (the driver
# exe) and E2E_SCENARIO (the scenario's name, printed with every check); the Wine prefix, display
# and persistent wineserver come from scripts/with-wine.
set -u -o pipefail
export LC_ALL=C
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
E2E_FAILED=0
E2E_DIR=$(mktemp -d /tmp/vorlo-e2e.XXXXXX)
PLAYER_PID=""
ANSWERS=""

e2e_cleanup() {
    if [ -n "$PLAYER_PID" ] && kill -0 "$PLAYER_PID" 2>/dev/null; then
        kill "$PLAYER_PID"
        wait "$PLAYER_PID" 2>/dev/null
    fi
    rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

# A server of our own when none runs yet, with stdio off the pipe ctest reads (else every Wine
# process's output would be held open until the server ends).
"$WINESERVER" -p </dev/null >/dev/null 2>&1

# The driver's output, one line; its errors go to the test's log. The driver's own errors exit
# with 1; any other failure is Wine's (a start that failed on a loaded machine), so the command
# runs once more before its result counts.
drv() {
    local out status attempt
    for attempt in 1 2; do
        out=$("$WINE" "$E2E_DRIVER" "$@" </dev/null)
        status=$?
        [ "$status" -le 1 ] && break
        echo "drv $*: the driver ended with $status (attempt $attempt)" >&2
    done
    out=${out//$'\r'/}
    [ -n "$out" ] && printf '%s\n' "$out"
    return "$status"
}

pass() { echo "PASS $E2E_SCENARIO: $1"; }
fail() { echo "FAIL $E2E_SCENARIO: $1"; E2E_FAILED=1; }
show() { printf '%s' "$1" | cat -v; }

# check WHAT GOT WANT
check() {
    if [ "$2" == "$3" ]; then pass "$1"; else fail "$1: got '$(show "$2")' want '$(show "$3")'"; fi
}

# A failure after which the scenario cannot go on.
abort() { fail "$1"; exit 1; }

finish() { exit "$E2E_FAILED"; }

# start_player EXE [FOLDER]: copies the player into the scenario's folder (or FOLDER inside it)
# and starts it with the scenario's folder as its current directory, where its answers file lands;
# the driver tells it apart by the copy's path.
start_player() {
    local name folder=$E2E_DIR/${2:-}
    name=$(basename "$1")
    mkdir -p "$folder"
    [ -f "$folder/$name" ] || cp "$1" "$folder/$name"
    export VORLO_EXE="$folder/$name"
    ANSWERS="$E2E_DIR/${name%.*}.txt"
    (cd "$E2E_DIR" && exec "$WINE" "$VORLO_EXE" </dev/null >/dev/null 2>&1) &
    PLAYER_PID=$!
}

wait_player() { drv wait 30000 >/dev/null || abort "the player window did not appear"; }

# Waits until the player process has ended (it ends after saving, on WM_CLOSE).
wait_exit() {
    local i
    for i in $(seq 600); do
        if ! kill -0 "$PLAYER_PID" 2>/dev/null; then
            wait "$PLAYER_PID" 2>/dev/null
            PLAYER_PID=""
            return 0
        fi
        sleep 0.05
    done
    return 1
}

close_player() {
    drv close >/dev/null || abort "no window to close"
    wait_exit || abort "the player did not end within 30 s of WM_CLOSE"
}

# wait_file PATH: polls for the file for up to 10 s.
wait_file() {
    local i
    for i in $(seq 200); do
        [ -e "$1" ] && return 0
        sleep 0.05
    done
    return 1
}

# visibility LABELS...: the visibility flags of the panel's labels, e.g. "1 0 0".
visibility() {
    local id out=""
    for id in "$@"; do out+="$(drv visible panel "$id") "; done
    echo "${out% }"
}

hex() { od -An -v -tx1 | tr -d ' \n'; }
file_hex() { if [ -e "$1" ]; then hex <"$1"; else echo "(no file)"; fi; }

# empty_lines N: N lines holding nothing, as the player writes them.
empty_lines() {
    local i
    for ((i = 0; i < $1; i++)); do printf '\r\n'; done
}

# answer BOX TEXT: types TEXT into the box (\xHH escapes allowed) and presses Enter; prints the
# verdict the status label then shows.
answer() { drv answer panel "$1" "$2"; }

# --- screenshots ---------------------------------------------------------------------------------

# pixel X Y: colour of a screen pixel, e.g. srgb(0,255,0), from a fresh screenshot.
pixel() {
    import -window root "$E2E_DIR/shot.png" 2>/dev/null
    convert "$E2E_DIR/shot.png" -format "%[pixel:p{$1,$2}]" info:
}

# status_pixel LABEL: the colour inside a status label, 3 px from its left edge at mid-height,
# away from its centred text.
status_pixel() {
    local x y
    read -r x y < <(drv screen panel "$1")
    pixel $((x + 3)) $((y + 9))
}

# poll_colour LABEL WANT: screenshots until the label shows WANT (the repaint follows the verdict
# asynchronously), for up to 5 s; prints the colour last seen.
poll_colour() {
    local i got=""
    for i in $(seq 25); do
        got=$(status_pixel "$1")
        [ "$got" == "$2" ] && break
        sleep 0.2
    done
    echo "$got"
}
