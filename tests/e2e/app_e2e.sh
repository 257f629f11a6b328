#!/usr/bin/env bash
# Kavri itself on a real X server: a Chinese text typed into the input box, converted,
# the art selected and copied out of the output box and read back through the clipboard;
# the settings written when the window closes; screenshots kept in BUILD/e2e-shots/app.
set -euo pipefail
build=${1:?usage: app_e2e.sh BUILD_DIR}
source "$(dirname "$0")/lib.sh"
[[ -x "$build/app/kavri" ]] || e2e_fail "$build/app/kavri is not built"

e2e_start_x
# The program in a folder of its own, so closing writes that copy's settings.
app="$E2E_TMP/app"
e2e_private_app "$build" "$app"
# The notice strip asks where nothing listens: an offline start, never the internet.
KAVRI_WEB_BASE=http://127.0.0.1:1 KAVRI_HOST=sdl e2e_run kavri "$app/kavri"
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
# Pixels of the skinned window, checked against the pictures the build packed.
skin="$build/assets/skin"
[[ -f "$skin/main.bmp" && -f "$skin/mask.bmp" ]] || e2e_fail "the skin's pictures are not built"
pixel_in() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
# How many pixels of the w x h area at x y of screenshot $1 differ from picture $6 at px py.
differing() {
  convert "$E2E_TMP/$1.png" -crop "${4}x${5}+${2}+${3}" +repage "$E2E_TMP/crop_a.png"
  convert "$6" -crop "${4}x${5}+${7}+${8}" +repage "$E2E_TMP/crop_b.png"
  local n
  n=$(compare -metric AE "$E2E_TMP/crop_a.png" "$E2E_TMP/crop_b.png" null: 2>&1 || true)
  echo "${n%% *}"
}
root=$(e2e_pixel start 1000 700)
# The mask shapes the window: its corners show the root, just inside them the frame.
[[ $(pixel_in "$skin/mask.bmp" 0 0) == "255,255,255" ]] || e2e_fail "the skin's mask has no rounded corner"
for corner in "$X $Y" "$((X + WIDTH - 1)) $Y" "$X $((Y + HEIGHT - 1))" "$((X + WIDTH - 1)) $((Y + HEIGHT - 1))"; do
  [[ $(e2e_pixel start $corner) == "$root" ]] || e2e_fail "the window's corner at $corner is not cut away by the mask"
done
[[ $(e2e_pixel start $((X + 20)) $((Y + 25))) != "$root" ]] || e2e_fail "the window is cut away inside its frame"

# The caption band left of the caption text (the system-menu button in it) and the caption
# buttons at the right end are the frame picture's own pixels.
read -r pic_w _ <<<"$(identify -format '%w %h' "$skin/main.bmp")"
n=$(differing start $((X + 14)) $((Y + 20)) 32 26 "$skin/main.bmp" 14 20)
(( n == 0 )) || e2e_fail "the caption band's left part differs from the skin's picture in $n pixels"
n=$(differing start $((X + WIDTH - pic_w + 162)) $((Y + 11)) 102 24 "$skin/main.bmp" 162 11)
(( n == 0 )) || e2e_fail "the caption buttons differ from the skin's picture in $n pixels"

# The input memo's text area below its text is exactly white (the converter relies on it).
n=$(convert "$E2E_TMP/start.png" -crop "160x60+$((cx + 10))+$((cy + 130))" +repage -fill black +opaque white \
      -colorspace Gray -format "%[fx:int((1-mean)*w*h+0.5)]" info:)
(( n == 0 )) || e2e_fail "the input memo's text area has $n pixels that are not pure white"

# Resting on the help button shows its hint after the pause.
help_x=$((cx + 141)) help_y=$((cy + 392))        # SB_help, client (128, 380) 25 x 25
xdotool mousemove $output_x $output_y
sleep 0.3
xdotool mousemove $help_x $help_y
sleep 1.5
e2e_shot hint
changed=$(compare -metric AE -crop "120x40+$((help_x - 20))+$((help_y + 10))" "$E2E_TMP/start.png" "$E2E_TMP/hint.png" null: 2>&1 || true)
(( ${changed%% *} > 100 )) || e2e_fail "nothing shows under the help button after the pause (${changed%% *} pixels changed)"

# The language box: a click opens its list, a click on the first row takes English, and the
# labels change; the row under the pointer is the hot one (pointer motion reaches the list).
lang_x=$((cx + 100)) lang_y=$((cy + 392))        # CbSelect, client (58, 382) 65 x 20
xdotool mousemove $lang_x $lang_y click 1
sleep 0.6
xdotool mousemove $((lang_x - 20)) $((lang_y + 40))
sleep 0.4
e2e_shot lang_open
xdotool mousemove $((lang_x - 20)) $((lang_y + 21))
sleep 0.4
e2e_shot lang_hot
changed=$(compare -metric AE -crop "60x36+$((lang_x - 32))+$((lang_y + 11))" "$E2E_TMP/lang_open.png" "$E2E_TMP/lang_hot.png" null: 2>&1 || true)
(( ${changed%% *} > 50 )) || e2e_fail "the language list does not follow the pointer (${changed%% *} pixels changed)"
xdotool click 1
sleep 0.6
e2e_shot english
changed=$(compare -metric AE -crop "60x14+$((cx + 8))+$((cy + 10))" "$E2E_TMP/start.png" "$E2E_TMP/english.png" null: 2>&1 || true)
(( ${changed%% *} > 30 )) || e2e_fail "choosing English in the language box did not change the labels"
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
grep -q '^language=English' "$app/KAVRI.ini" || e2e_fail "the settings were not written (or not with the language chosen)"

mkdir -p "$build/e2e-shots/app" && cp "$E2E_TMP"/*.png "$E2E_TMP/clipboard.txt" "$build/e2e-shots/app/" 2>/dev/null || true
echo "app e2e: ok"
