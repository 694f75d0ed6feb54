# Sourced by the Wine tests that need a screen.

# Exits with 77 (ctest's skip) unless every TOOL is installed.
# Usage: skip_unless_installed TOOL...
skip_unless_installed() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIP: $tool is not installed" >&2
            exit 77
        fi
    done
}

# Starts Xvfb on a display number the X server picks and exports DISPLAY.
# Sets xvfb_pid for the caller's cleanup; on failure prints why and returns 1.
# Usage: start_virtual_screen SCRATCH_FOLDER
start_virtual_screen() {
    local scratch=$1 display
    mkfifo "$scratch/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >"$scratch/xvfb.log" 2>&1 &
    xvfb_pid=$!
    if ! read -r display <"$scratch/display"; then
        echo "Xvfb did not start: $(cat "$scratch/xvfb.log")" >&2
        return 1
    fi
    export DISPLAY=:$display
}

# Polls CONDITION (evaluated) for up to two minutes: Wine's first window in a
# new prefix is slow, and a slow machine must not fail a test.
# Usage: wait_for CONDITION
wait_for() {
    local _
    for _ in $(seq 1 1200); do
        eval "$1" && return 0
        sleep 0.1
    done
    return 1
}
