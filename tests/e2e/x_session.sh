# Helpers of the window sessions, sourced by them: waiting for windows by their exact name,
# typing and pressing keys into them, waiting for a program to end.
unset QT_QPA_PLATFORM  # the real X server, not the tests' offscreen platform
# Under the sanitizers: libxkbcommon-x11 calls strndup on keymap names that are not
# NUL-terminated, which is sound but trips ASan's strict string checks.
if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"; fi

window() {  # the id of the visible window named exactly $1, waiting for it
    n=0
    while [ $n -lt 300 ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.1; n=$((n + 1))
    done
    echo "no window named '$1'" >&2
    return 1
}
gone() {  # waits until no visible window is named exactly $1
    n=0
    while xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do
        sleep 0.1; n=$((n + 1))
        if [ $n -ge 300 ]; then echo "window '$1' stays" >&2; return 1; fi
    done
}
keys() { xdotool windowfocus --sync "$1"; shift; xdotool key --delay 60 "$@"; }
type_text() { xdotool windowfocus --sync "$1"; xdotool type --delay 20 "$2"; }
ends() {  # waits for process $1 to end and gives its status
    n=0
    while kill -0 "$1" 2>/dev/null; do
        sleep 0.1; n=$((n + 1))
        if [ $n -ge 150 ]; then echo "process $1 did not end" >&2; kill "$1"; return 1; fi
    done
    wait "$1"
}
