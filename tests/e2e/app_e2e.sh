#!/usr/bin/env bash
# Kavri itself on a real X server: a Chinese text typed into the input box, converted,
# the art selected and copied out of the output box and read back through the clipboard;
# the settings written when the window closes; screenshots kept in BUILD/e2e-shots/app.
set -euo pipefail
build=${1:?usage: app_e2e.sh BUILD_DIR}
source "$(dirname "$0")/lib.sh"
[[ -x "$build/app/kavri" ]] || e2e_fail "$build/app/kavri is not built"

e2e_start_x
# The program with the pristine files of assets/ in a folder of its own (never the build
# folder's live KAVRI.ini, which a person's `make run` changes), so closing writes that copy.
assets="$(cd "$(dirname "$0")/../../assets" && pwd)"
app="$E2E_TMP/app"
mkdir -p "$app"
cp "$build/app/kavri" "$app/"
cp -r "$assets/KAVRI.ini" "$assets/help.htm" "$assets/Language" "$app/"
KAVRI_HOST=sdl e2e_run kavri "$app/kavri"
win=$(e2e_wait_window "^kavri$") || e2e_fail "no main window"
sleep 1

# Without a window manager the window sits where the settings put it, (0, 0); its client
# area starts where the skin's frame puts it: the left and top of FORMINFO's clientrect.
eval "$(xdotool getwindowgeometry --shell "$win")"
read -r client_left client_top <<<"$(e2e_skin_client_offset "$build")"
cx=$((X + client_left)) cy=$((Y + client_top))
input_x=$((cx + 96)) input_y=$((cy + 146))       # Me_inputtext, 185 x 122 inside the skinned panels
convert_x=$((cx + 163)) convert_y=$((cy + 15))   # Bu_Convert, client (147, 5) 33 x 20
output_x=$((cx + 400)) output_y=$((cy + 200))    # Me_output_text, right of x 194, below y 26

e2e_shot start
xdotool mousemove $input_x $input_y click 1
sleep 0.3
xdotool key ctrl+a
sleep 0.2
# Non-ASCII text needs a slow pace under Xvfb or characters get lost.
xdotool type --delay 200 "爱你"
sleep 0.5
e2e_shot typed

xdotool mousemove $convert_x $convert_y click 1
sleep 0.8
e2e_shot converted

xdotool mousemove $output_x $output_y click 1
sleep 0.3
xdotool key ctrl+a
sleep 0.2
xdotool key ctrl+c
sleep 0.5
clip=$(timeout 5 xclip -o -selection clipboard || true)
printf '%s\n' "$clip" >"$E2E_TMP/clipboard.txt"
lines=$(grep -c '爱' "$E2E_TMP/clipboard.txt" || true)
(( lines >= 8 )) || e2e_fail "the clipboard does not hold the art ($lines lines with a fill cell): $(head -c 300 "$E2E_TMP/clipboard.txt")"
# Nothing but fill cells, blanks and line breaks.
stray=$(tr -d '\n \r' <"$E2E_TMP/clipboard.txt" | sed 's/爱//g')
[[ -z "$stray" ]] || e2e_fail "the art holds other characters: '${stray:0:40}'"
# Two characters side by side: some line has ink in both halves of its width.
widest=$(awk '{ if (length($0) > w) w = length($0) } END { print w }' "$E2E_TMP/clipboard.txt")
(( widest >= 16 )) || e2e_fail "the art is too narrow for two characters ($widest)"

# The same art as the converter on the command line gives for the window's settings: the
# second face of the sorted list (the stored index 220 is beyond it), 15 points, and the
# input memo's outer width of 185 pixels inside the skinned panels.
art="$build/tools/kavri-art/kavri-art"
if [[ -x "$art" ]]; then
  face=$("$art" --list-fonts | sed -n 2p)
  "$art" -f "$face" -s 15 -w 185 -- "爱你" >"$E2E_TMP/expected.txt"
  [[ -s "$E2E_TMP/expected.txt" ]] || e2e_fail "kavri-art gave no art"
  tr -d '\r' <"$E2E_TMP/clipboard.txt" >"$E2E_TMP/got.txt"
  diff -q "$E2E_TMP/expected.txt" "$E2E_TMP/got.txt" >/dev/null ||
    e2e_fail "the copied art differs from kavri-art's: $(diff "$E2E_TMP/expected.txt" "$E2E_TMP/got.txt" | head -5)"
fi

# Closing saves the settings beside the program and ends it cleanly.
kavri_pid=${E2E_PIDS[-1]}
xdotool mousemove $output_x $output_y key alt+F4
for i in $(seq 1 50); do kill -0 "$kavri_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$kavri_pid" 2>/dev/null && e2e_fail "Alt+F4 did not end kavri"
status=0
wait "$kavri_pid" || status=$?
if (( status != 0 )); then
  cat "$E2E_TMP/kavri.out" >&2
  e2e_fail "kavri ended with status $status"
fi
grep -q '^language=GB312' "$app/KAVRI.ini" || e2e_fail "the settings were not written"

mkdir -p "$build/e2e-shots/app" && cp "$E2E_TMP"/*.png "$E2E_TMP/clipboard.txt" "$build/e2e-shots/app/" 2>/dev/null || true
echo "app e2e: ok"
