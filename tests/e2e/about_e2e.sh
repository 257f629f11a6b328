#!/usr/bin/env bash
# The about window on a real X server: opened from the main window, its generated page
# beside the program, an address typed into its address line, back and forward, both
# windows closed. The maker's site is python3's http.server on the loopback interface; a
# second, offline start saves the strip's counters as an offline start leaves them.
# Screenshots are kept in BUILD/e2e-shots/about.
set -euo pipefail
build=${1:?usage: about_e2e.sh BUILD_DIR}
source "$(dirname "$0")/lib.sh"
[[ -x "$build/app/kavri" ]] || e2e_fail "$build/app/kavri is not built"
command -v python3 >/dev/null || e2e_skip "python3 is not installed"

e2e_start_x
# The program in a folder of its own, so closing writes that copy's settings.
app="$E2E_TMP/app"
e2e_private_app "$build" "$app"

site="$E2E_TMP/site"
mkdir -p "$site/bbs/pennaloft"
echo '<html><body style="background:#ffffee"><p>Notice of the maker</p></body></html>' >"$site/bbs/pennaloft/user.asp"
echo '<html><body><h1>Second page</h1></body></html>' >"$site/second.htm"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$site" >"$E2E_TMP/http.log" 2>&1 &
E2E_PIDS+=($!)
port=
for i in $(seq 1 100); do
  port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$E2E_TMP/http.log" | head -n1)
  [[ -n "$port" ]] && break
  sleep 0.1
done
[[ -n "$port" ]] || e2e_fail "python3 -m http.server did not start"
base="http://127.0.0.1:$port"
requests() { grep -c "\"GET $1" "$E2E_TMP/http.log" || true; }

KAVRI_WEB_BASE=$base KAVRI_HOST=sdl e2e_run kavri "$app/kavri"
kavri_pid=${E2E_PIDS[-1]}
win=$(e2e_wait_window "^kavri$") || e2e_fail "no main window"
sleep 1
(( $(requests /bbs/pennaloft/user.asp?adv=1) == 1 )) || e2e_fail "the notice page was not asked for: $(cat "$E2E_TMP/http.log")"
grep -q 'user.asp?adv=1&user=[a-z0-9]*&software=KAVRI&version=10&hpsize=2 ' "$E2E_TMP/http.log" ||
  e2e_fail "the notice address is not as built: $(grep user.asp "$E2E_TMP/http.log")"

eval "$(xdotool getwindowgeometry --shell "$win")"
read -r client_left client_top <<<"$(e2e_skin_client_offset "$build")"
cx=$((X + client_left)) cy=$((Y + client_top))
e2e_shot main
# The about button, client (152, 380) 25 x 25: the bottom panel keeps its place below the strip.
xdotool mousemove $((cx + 165)) $((cy + 392)) click 1
# Found by its caption ("关于 Kavri"; the tool matches no multibyte pattern here, the main
# window's caption is "kavri").
about=$(e2e_wait_window " Kavri$") || e2e_fail "no about window"
sleep 1.5
e2e_shot about

# The page beside the program: eight lines ended by CR LF, the heading from the pack.
page="$app/README.HTM"
[[ -f "$page" ]] || e2e_fail "README.HTM is not beside the program"
(( $(grep -c $'\r$' "$page") == 8 )) || e2e_fail "README.HTM has not eight CRLF lines"
(( $(wc -l <"$page") == 8 )) || e2e_fail "README.HTM has not eight lines"
head -n1 "$page" | grep -q 'charset=utf-8' || e2e_fail "README.HTM does not declare its charset"
sed -n 4p "$page" | grep -q '<h4 align="center"><font color="#FF3366">关于 KAVRI</font></h4>' ||
  e2e_fail "the heading is not the pack's: $(sed -n 4p "$page")"

eval "$(xdotool getwindowgeometry --shell "$about")"
ax=$((X + client_left)) ay=$((Y + client_top))
# The page itself shows its heading in its pink: some pixels of it in the view.
pink=$(convert "$E2E_TMP/about.png" -crop "600x60+$((ax + 10))+$((ay + 30))" +repage -fill black -fuzz 12% \
         +opaque "#FF3366" -fill white -opaque "#FF3366" -colorspace Gray -format "%[fx:int(mean*w*h+0.5)]" info:)
(( pink > 20 )) || e2e_fail "the page's heading is not shown ($pink pink pixels)"

# An address typed into the line and Enter: the second page comes from the site.
xdotool mousemove $((ax + 300)) $((ay + 12)) click 1
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 30 "$base/second.htm"
xdotool key Return
sleep 1.5
(( $(requests /second.htm) == 1 )) || e2e_fail "Enter in the address line did not open the page"
e2e_shot second
# Back shows the generated page again, forward the second page, fetched anew.
back_x=$((ax + 15)) forward_x=$((ax + 40)) row_y=$((ay + 288 + 13))
xdotool mousemove $back_x $row_y click 1
sleep 1.2
e2e_shot back
changed=$(compare -metric AE -crop "500x200+$((ax + 20))+$((ay + 40))" "$E2E_TMP/second.png" "$E2E_TMP/back.png" null: 2>&1 || true)
(( ${changed%% *} > 200 )) || e2e_fail "back did not change the page (${changed%% *} pixels)"
xdotool mousemove $forward_x $row_y click 1
sleep 1.2
(( $(requests /second.htm) == 2 )) || e2e_fail "forward did not open the second page again"
e2e_shot forward

# Closing the about window hides it; closing the main window ends the program.
xdotool mousemove $((ax + 300)) $((ay + 150)) key alt+F4
sleep 0.8
[[ -z "$(xdotool search --onlyvisible --name ' Kavri$' 2>/dev/null)" ]] || e2e_fail "the about window is still shown"
xdotool mousemove $((cx + 400)) $((cy + 250)) key alt+F4
for i in $(seq 1 50); do kill -0 "$kavri_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$kavri_pid" 2>/dev/null && e2e_fail "Alt+F4 did not end kavri"
status=0
wait "$kavri_pid" || status=$?
(( status == 0 )) || { cat "$E2E_TMP/kavri.out" >&2; e2e_fail "kavri ended with status $status"; }
setting_is() { tr -d '\r' <"$app/KAVRI.ini" | grep -qx "$1"; }
setting_is 'n1=\.\.\.\.\.\.\.\.\.\.' || e2e_fail "an online run changed n1: $(grep n1 "$app/KAVRI.ini")"

# Offline: no strip, and the counters as an offline start leaves them.
KAVRI_WEB_BASE=http://127.0.0.1:1 KAVRI_HOST=sdl e2e_run kavri2 "$app/kavri"
kavri_pid=${E2E_PIDS[-1]}
win=$(e2e_wait_window "^kavri$") || e2e_fail "no main window offline"
sleep 1
e2e_shot offline
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + client_left + 400)) $((Y + client_top + 250)) key alt+F4
for i in $(seq 1 50); do kill -0 "$kavri_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$kavri_pid" 2>/dev/null && e2e_fail "Alt+F4 did not end the offline kavri"
setting_is 'n1=' || e2e_fail "offline n1 is not empty: $(grep n1 "$app/KAVRI.ini")"
setting_is 'n2=\.\.\.' || e2e_fail "offline n2 is not three full stops: $(grep n2 "$app/KAVRI.ini")"

mkdir -p "$build/e2e-shots/about" && cp "$E2E_TMP"/*.png "$build/e2e-shots/about/" 2>/dev/null || true
echo "about e2e: ok"
