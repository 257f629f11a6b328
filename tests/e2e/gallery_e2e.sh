#!/usr/bin/env bash
# kavri-gallery on a real X server: text typed into its skinned edit and memo, the memo's
# skinned context menu opened with the right button, Copy chosen, the clipboard read back.
set -euo pipefail
build=${1:?usage: gallery_e2e.sh BUILD_DIR}
source "$(dirname "$0")/lib.sh"
gallery="$build/tools/kavri-gallery/kavri-gallery"
[[ -x "$gallery" ]] || e2e_fail "$gallery is not built"

e2e_start_x
# The gallery carries its skin inside; a private folder keeps it away from the build's files.
app="$E2E_TMP/gallery"
mkdir -p "$app"
cp "$gallery" "$app/"
KAVRI_HOST=sdl e2e_run gallery "$app/kavri-gallery"
win=$(e2e_wait_window "Kavri gallery") || e2e_fail "no gallery window"
sleep 1

# The client area starts where the skin's frame puts it (FORMINFO's clientrect); the edits'
# panel sits at client (640, 8) with its controls 2 pixels in.
eval "$(xdotool getwindowgeometry --shell "$win")"
read -r client_left client_top <<<"$(e2e_skin_client_offset "$build")"
px=$((X + client_left + 640 + 2)) py=$((Y + client_top + 8 + 2))
edit_x=$((px + 10 + 70)) edit_y=$((py + 10 + 10))   # Ed_Normal, 140 x 21
memo_x=$((px + 10 + 100)) memo_y=$((py + 80 + 65))  # Me_Memo, 200 x 130

e2e_shot start
xdotool mousemove $edit_x $edit_y click 1
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 60 "typed into the edit"
sleep 0.3
xdotool mousemove $memo_x $memo_y click 1
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 60 "hello memo"
sleep 0.3
xdotool key ctrl+a
sleep 0.2
e2e_shot typed
dark_edit=$(e2e_dark_pixels typed $((edit_x - 68)) $((edit_y - 8)) 136 16)
(( dark_edit > 40 )) || e2e_fail "the edit shows no typed text ($dark_edit dark pixels)"

# The context menu opens at the pointer: Undo, a line, Cut, Copy, ...; Copy's row lies
# about 64 pixels below the menu's top.
xdotool mousemove $memo_x $memo_y click 3
sleep 0.5
e2e_shot menu
xdotool mousemove $((memo_x + 30)) $((memo_y + 64))
sleep 0.3
xdotool click 1
sleep 0.5
clip=$(timeout 5 xclip -o -selection clipboard || true)
e2e_shot copied
mkdir -p "$build/e2e-shots/gallery" && cp "$E2E_TMP"/*.png "$build/e2e-shots/gallery/" 2>/dev/null || true
[[ "$clip" == "hello memo" ]] || e2e_fail "the clipboard holds '$clip', not the memo's text"
echo "gallery e2e: ok"
