# Sourced by the Wine tests that need a screen: starts Xvfb on a display
# number the X server picks and exports DISPLAY. Sets xvfb_pid for the
# caller's cleanup; on failure prints why and returns 1.
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
