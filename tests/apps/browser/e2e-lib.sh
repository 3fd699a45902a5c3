# Shared by the end-to-end scripts: sourced by each script, and (as $E2E_LIB) by the session
# it runs on a private X server.

# In the session: the X server is up (the script tells a skip from a failure by this).
session_start() {
    set -u
    touch "$WORK/server-started"
}
# In the session: stops the browser ($pid) and the session with a message.
fail() {
    echo "$*"
    kill "$pid" 2>/dev/null
    exit 1
}
# Waits for a window whose name matches; prints its id.
window() {
    local w=""
    for _ in $(seq 50); do
        w=$(xdotool search --name "$1" 2>/dev/null | head -1)
        [ -n "$w" ] && break
        sleep 0.2
    done
    echo "$w"
}
# Runs $WORK/session.sh on a private X server: exit 77 (skipped) when none could be started,
# exit 1 with the browser's errors when the session failed.
run_session() {
    if ! xvfb-run -a -s "-screen 0 1280x1024x24" bash "$WORK/session.sh"; then
        if [ ! -e "$WORK/server-started" ]; then
            echo "skipped: no X server could be started"
            exit 77
        fi
        cat "$WORK/x11.err" 2>/dev/null
        echo "the X session failed"
        exit 1
    fi
}
