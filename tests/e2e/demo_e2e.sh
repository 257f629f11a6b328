#!/usr/bin/env bash
# The window system on a real X server: kavri-demo on the SDL host under Xvfb, clicked,
# typed into and dragged with xdotool, checked in screenshots and through the clipboard.
set -euo pipefail
build=${1:?usage: demo_e2e.sh BUILD_DIR}
source "$(dirname "$0")/lib.sh"
demo="$build/tools/kavri-demo/kavri-demo"
[[ -x "$demo" ]] || e2e_fail "$demo is not built"

e2e_start_x
KAVRI_HOST=sdl e2e_run demo "$demo"
e2e_wait_output demo '^ready'
grep -q '^host: sdl' "$E2E_TMP/demo.out" || e2e_fail "the demo did not choose the SDL host"
win=$(e2e_wait_window "Kavri demo") || e2e_fail "no demo window"
sleep 0.5

# Without a window manager the window sits where the program put it: (60, 60), with a
# 4-pixel border and a 19-pixel caption band, so its client area starts at (64, 83).
button_x=136 button_y=115  # the counting button, client (12, 12)-(132, 52)
field_x=200 field_y=185    # the text field, client (12, 90)-(332, 116)

e2e_shot before
[[ $(e2e_pixel before 90 100) == "192,192,192" ]] || e2e_fail "button not drawn: $(e2e_pixel before 90 100)"
e2e_is_blue "$(e2e_pixel before 300 70)" || e2e_fail "active caption not drawn: $(e2e_pixel before 300 70)"
dark_before=$(e2e_dark_pixels before 80 176 300 20)

xdotool mousemove $button_x $button_y click 1
e2e_wait_output demo '^clicks: 1'
sleep 0.3
e2e_shot clicked
[[ $(e2e_pixel clicked 90 100) == "0,160,0" ]] || e2e_fail "the click did not show: $(e2e_pixel clicked 90 100)"

xdotool mousemove $field_x $field_y click 1
sleep 0.2
xdotool type --delay 40 "hello Kavri"
e2e_wait_output demo '^text: hello Kavri$'
sleep 0.3
e2e_shot typed
dark_after=$(e2e_dark_pixels typed 80 176 300 20)
(( dark_after > dark_before + 40 )) || e2e_fail "typed text not shown ($dark_before -> $dark_after dark pixels)"

# Ctrl+C in the field puts its text on the clipboard, which another program reads.
xdotool key ctrl+c
sleep 0.3
clip=$(timeout 5 xclip -o -selection clipboard || true)
[[ "$clip" == "hello Kavri" ]] || e2e_fail "clipboard holds '$clip'"

# Text from another program comes back in with Ctrl+V.
printf '%s' " 爱" | xclip -i -selection clipboard
sleep 0.2
xdotool key ctrl+v
e2e_wait_output demo '^text: hello Kavri 爱$'

# A popup shown without activation: the main window stays active and keys still reach
# the field, even with the pointer over the popup (no window manager keeps it from the
# keyboard focus).
xdotool mousemove 300 230 click 3
e2e_wait_output demo '^popup: shown'
sleep 0.3
xdotool mousemove 350 250
xdotool type "!"
e2e_wait_output demo '^text: hello Kavri 爱!$'
sleep 0.3
e2e_shot popup
[[ $(e2e_pixel popup 320 240) == "255,255,160" ]] || e2e_fail "popup not shown: $(e2e_pixel popup 320 240)"
e2e_is_blue "$(e2e_pixel popup 300 70)" || e2e_fail "the popup took the activation"
xdotool click 1
e2e_wait_output demo '^popup: closed'

# The shaped window: a cross cut out by its region through the X SHAPE extension.
[[ $(e2e_pixel popup 540 120) == "255,0,0" ]] || e2e_fail "shaped window not drawn"
[[ $(e2e_pixel popup 490 70) == "0,0,0" ]] || e2e_fail "the shape's corner is not cut away: $(e2e_pixel popup 490 70)"

# Dragging the caption moves the window (the move loop on the real desktop).
xdotool mousemove 250 72 mousedown 1
sleep 0.1
xdotool mousemove 300 120
sleep 0.1
xdotool mousemove 350 172
sleep 0.1
xdotool mouseup 1
sleep 0.4
e2e_shot moved
# The window moved by (100, 100): the button lies at (176, 195)-(296, 235) now.
[[ $(e2e_pixel moved 240 215) == "0,160,0" ]] || e2e_fail "the window did not follow the drag: $(e2e_pixel moved 240 215)"
[[ $(e2e_pixel moved 240 250) != "0,160,0" ]] || e2e_fail "the window moved too far"
[[ $(e2e_pixel moved 90 100) != "0,160,0" ]] || e2e_fail "the old place was not left"

# Alt+F4 closes the window and the program ends cleanly.
xdotool mousemove 300 300 key alt+F4
demo_pid=${E2E_PIDS[-1]}
for i in $(seq 1 50); do kill -0 "$demo_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$demo_pid" 2>/dev/null && e2e_fail "Alt+F4 did not end the demo"
status=0
wait "$demo_pid" || status=$?
if (( status != 0 )); then
  cat "$E2E_TMP/demo.out" >&2
  e2e_fail "the demo ended with status $status"
fi

# Kept for a look when something went wrong.
mkdir -p "$build/e2e-shots/demo" && cp "$E2E_TMP"/*.png "$build/e2e-shots/demo/" 2>/dev/null || true
echo "demo e2e: ok"
