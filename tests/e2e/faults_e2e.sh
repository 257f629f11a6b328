#!/usr/bin/env bash
# Kavri under faults on a real X server: the X server killed under it (once with the box
# about the missing settings file up), and SIGTERM after a language change.
set -euo pipefail
build=${1:?usage: faults_e2e.sh BUILD_DIR}
source "$(dirname "$0")/lib.sh"
[[ -x "$build/app/kavri" ]] || e2e_fail "$build/app/kavri is not built"

# Waits up to $2 tenths of a second for process $1 to end; its exit status in $status.
wait_gone() {
  local i
  for i in $(seq 1 "$2"); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$1" 2>/dev/null && return 1
  status=0
  wait "$1" || status=$?
  return 0
}

# Kills the X server of this test (the last one e2e_start_x started) and forgets it.
kill_x() {
  local x=$1
  kill "$x"
  wait "$x" 2>/dev/null || true
}

# 1. The X server goes while the window is up: the program ends within 2 s with status 1
# and says why; the settings are written (the window stored off the screen comes back
# onto it, so the stored place changes).
e2e_start_x
x_pid=$E2E_X_PID
app="$E2E_TMP/lost"
e2e_private_app "$build" "$app"
sed -i 's/^window_left=.*/window_left=50000/; s/^window_top=.*/window_top=-40000/' "$app/KAVRI.ini"
KAVRI_HOST=sdl e2e_run lost "$app/kavri"
kavri_pid=${E2E_PIDS[-1]}
e2e_wait_window "^kavri$" >/dev/null || e2e_fail "no main window"
sleep 0.5
kill_x "$x_pid"
wait_gone "$kavri_pid" 20 || e2e_fail "kavri still runs 2 s after its X server went"
(( status == 1 )) || e2e_fail "kavri ended with status $status after losing its display, not 1"
grep -q "connection to the display was lost" "$E2E_TMP/lost.out" || e2e_fail "kavri did not say why it ended: $(cat "$E2E_TMP/lost.out")"
grep -q '^window_left=50000' "$app/KAVRI.ini" && e2e_fail "the settings were not written when the display went"
left=$(sed -n 's/^window_left=//p' "$app/KAVRI.ini")
top=$(sed -n 's/^window_top=//p' "$app/KAVRI.ini")
(( left >= 0 && left < 1024 && top >= 0 && top < 768 )) || e2e_fail "the place written back is off the screen: $left, $top"

# 2. The same with the box about the missing settings file up; no file is made.
e2e_another_x
x_pid=$E2E_X_PID
app="$E2E_TMP/nobox"
e2e_private_app "$build" "$app" no-settings
KAVRI_HOST=sdl e2e_run nobox "$app/kavri"
kavri_pid=${E2E_PIDS[-1]}
e2e_wait_window "^Kavri$" >/dev/null || e2e_fail "no message box about the missing settings"
sleep 0.3
kill_x "$x_pid"
wait_gone "$kavri_pid" 20 || e2e_fail "kavri still runs 2 s after its X server went under the message box"
(( status == 1 )) || e2e_fail "kavri ended with status $status after losing its display under the box, not 1"
[[ -e "$app/KAVRI.ini" ]] && e2e_fail "a settings file was made"

# 3. SIGTERM closes the window as its close button does: the language chosen is saved.
e2e_another_x
app="$E2E_TMP/term"
e2e_private_app "$build" "$app"
KAVRI_HOST=sdl e2e_run term "$app/kavri"
kavri_pid=${E2E_PIDS[-1]}
win=$(e2e_wait_window "^kavri$") || e2e_fail "no main window"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
read -r client_left client_top <<<"$(e2e_skin_client_offset "$build")"
cx=$((X + client_left)) cy=$((Y + client_top))
lang_x=$((cx + 100)) lang_y=$((cy + 392))        # CbSelect, client (58, 382) 65 x 20
xdotool mousemove $lang_x $lang_y click 1
sleep 0.6
xdotool mousemove $((lang_x - 20)) $((lang_y + 21)) click 1
sleep 0.6
grep -q '^language=English' "$app/KAVRI.ini" && e2e_fail "the language was saved before closing"

# 4. Minimized (no window manager keeps it iconic) and mapped again from outside: the
# window shows whole again, not black. The minimize button lies 77 pixels left of the
# frame's right edge, in the caption.
xdotool mousemove $((X + WIDTH - 77)) $((Y + 23))
sleep 0.3
xdotool click 1
sleep 0.8
[[ -z "$(xdotool search --onlyvisible --name '^kavri$' 2>/dev/null)" ]] || e2e_fail "the minimize button did not hide the window"
xdotool windowmap "$win"
sleep 0.8
e2e_shot remapped
dark=$(e2e_dark_pixels remapped $((X + 220)) $((Y + 100)) 380 300)
(( dark < 1000 )) || e2e_fail "the window mapped again is dark in $dark pixels of its output box"
[[ $(e2e_pixel remapped $((X + 400)) $((Y + 250))) == "255,255,255" ]] || e2e_fail "the output box of the window mapped again is not white"
kill -TERM "$kavri_pid"
wait_gone "$kavri_pid" 20 || e2e_fail "SIGTERM did not end kavri within 2 s"
(( status == 0 )) || e2e_fail "kavri ended with status $status after SIGTERM"
grep -q '^language=English' "$app/KAVRI.ini" || e2e_fail "SIGTERM ended kavri without saving the language chosen"
echo "faults e2e: ok"
