#!/usr/bin/env bash
# kavri-gallery's font combo on a real X server: opened with the mouse, moved down with the
# keys, accepted with Enter; screenshots show the list drawn from the skin's list record
# and gone again, and the combo showing another face. Shots kept in BUILD/e2e-shots/combo.
set -euo pipefail
build=${1:?usage: gallery_combo_e2e.sh BUILD_DIR}
source "$(dirname "$0")/lib.sh"
gallery="$build/tools/kavri-gallery/kavri-gallery"
[[ -x "$gallery" ]] || e2e_fail "$gallery is not built"
picture="$build/assets/skin/controls.bmp"
[[ -f "$picture" ]] || e2e_fail "$picture is not built"

e2e_start_x
# A private copy: the gallery carries its skin inside, and reads nothing else.
dir="$E2E_TMP/gallery"
mkdir -p "$dir"
cp "$gallery" "$dir/"
KAVRI_HOST=sdl e2e_run gallery "$dir/kavri-gallery"
win=$(e2e_wait_window "^Kavri gallery$") || e2e_fail "no gallery window"
sleep 1

# Without a window manager the window sits where its resource puts it. Its client area
# starts 13 pixels right of and 46 below the window's corner (the skin's frame); the font
# combo is at client (400, 448), 220 x 21, and its list opens under it, 146 high.
eval "$(xdotool getwindowgeometry --shell "$win")"
combo_x=$((X + 413)) combo_y=$((Y + 494))
list_x=$combo_x list_y=$((combo_y + 21)) list_w=220 list_h=146

# The colours of the skin's list: the active item and the frame (controls.bmp).
pixel_of() { convert "$picture" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
active=$(pixel_of 92 151)
frame=$(pixel_of 0 150)
# How many pixels of colour "r,g,b" $5 the w x h area at x y of screenshot $1 holds.
count_color() {
  convert "$E2E_TMP/$1.png" -crop "${4}x${5}+${2}+${3}" +repage -fill black +opaque "rgb($6)" \
    -fill white -opaque "rgb($6)" -colorspace Gray -format "%[fx:int(mean*w*h+0.5)]" info:
}
crop() { convert "$E2E_TMP/$1.png" -crop "${4}x${5}+${2}+${3}" +repage "$E2E_TMP/$6.png"; }

e2e_shot before
(( $(count_color before $list_x $list_y $list_w $list_h "$active") == 0 )) || e2e_fail "a list shows before the click"
[[ $(e2e_pixel before $list_x $((list_y + 40))) != "$frame" ]] || e2e_fail "the list's frame shows before the click"
crop before $((combo_x + 3)) $((combo_y + 3)) 180 15 text_before

# A click on the combo opens the list, which stays open after the release.
xdotool mousemove $((combo_x + 100)) $((combo_y + 10)) click 1
sleep 0.8
e2e_shot open
shown=$(count_color open $list_x $list_y $list_w $list_h "$active")
(( shown > 1000 )) || e2e_fail "the open list does not show the skin's active item ($shown pixels of $active)"
[[ $(e2e_pixel open $list_x $((list_y + 40))) == "$frame" ]] ||
  e2e_fail "the list's frame is not the skin's: $(e2e_pixel open $list_x $((list_y + 40))) (want $frame)"
# The selected face is the active row; the rows around it are the skin's plain items.
(( shown < 220 * 18 )) || e2e_fail "more than one row looks active ($shown pixels)"

# Two steps down with the keys (the combo keeps the keyboard), Enter takes the row.
xdotool mousemove $((combo_x + 300)) $((combo_y - 40))
xdotool key Down
sleep 0.3
xdotool key Down
sleep 0.5
e2e_shot moved
(( $(count_color moved $list_x $list_y $list_w $list_h "$active") > 1000 )) || e2e_fail "the list closed on the keys"
xdotool key Return
sleep 0.8
e2e_shot closed
(( $(count_color closed $list_x $list_y $list_w $list_h "$active") == 0 )) || e2e_fail "the list did not close on Enter"
[[ $(e2e_pixel closed $list_x $((list_y + 40))) == "$(e2e_pixel before $list_x $((list_y + 40)))" ]] ||
  e2e_fail "the list's place does not show the panel again"
crop closed $((combo_x + 3)) $((combo_y + 3)) 180 15 text_after
changed=$(compare -metric AE "$E2E_TMP/text_before.png" "$E2E_TMP/text_after.png" null: 2>&1 || true)
(( ${changed%% *} > 20 )) || e2e_fail "the combo shows the same face as before ($changed pixels differ)"

# Alt+F4 ends the gallery cleanly.
gallery_pid=${E2E_PIDS[-1]}
xdotool key alt+F4
for i in $(seq 1 50); do kill -0 "$gallery_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$gallery_pid" 2>/dev/null && e2e_fail "Alt+F4 did not end the gallery"
status=0
wait "$gallery_pid" || status=$?
if (( status != 0 )); then
  cat "$E2E_TMP/gallery.out" >&2
  e2e_fail "the gallery ended with status $status"
fi

mkdir -p "$build/e2e-shots/combo" && cp "$E2E_TMP"/*.png "$build/e2e-shots/combo/" 2>/dev/null || true
echo "gallery combo e2e: ok"
