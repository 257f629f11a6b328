#!/usr/bin/env bash
# The installed program: `cmake --install` into a private prefix, the command-line tools run
# from there, the desktop entry and metainfo validated, and the installed window started
# with a private HOME: it must keep its settings in HOME/.config/kavri without a message box.
set -euo pipefail
build=${1:?usage: install_e2e.sh BUILD_DIR}
source "$(dirname "$0")/lib.sh"
[[ -x "$build/app/kavri" ]] || e2e_fail "$build/app/kavri is not built"

e2e_start_x
prefix="$E2E_TMP/prefix"
cmake --install "$build" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
  { cat "$E2E_TMP/install.log" >&2; e2e_fail "cmake --install failed"; }
for f in bin/kavri bin/kavri-art bin/skinpack bin/kavri-gallery share/kavri/KAVRI.ini share/kavri/help.htm \
         share/kavri/Language/GB312_fo.dll share/kavri/Language/English_about.dll \
         share/applications/org.kavri.Kavri.desktop share/metainfo/org.kavri.Kavri.metainfo.xml \
         share/icons/hicolor/48x48/apps/org.kavri.Kavri.png share/icons/hicolor/scalable/apps/org.kavri.Kavri.svg \
         share/man/man1/kavri-art.1.gz share/man/man1/skinpack.1.gz share/man/man1/kavri-gallery.1.gz; do
  [[ -e "$prefix/$f" ]] || e2e_fail "the install lacks $f"
done
[[ $(identify -format '%wx%h' "$prefix/share/icons/hicolor/256x256/apps/org.kavri.Kavri.png") == 256x256 ]] ||
  e2e_fail "the 256 pixel icon is not 256 pixels square"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/org.kavri.Kavri.desktop" || e2e_fail "the desktop entry does not validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.kavri.Kavri.metainfo.xml" >"$E2E_TMP/appstream.log" 2>&1 ||
    { cat "$E2E_TMP/appstream.log" >&2; e2e_fail "the metainfo does not validate"; }
fi
zcat "$prefix/share/man/man1/kavri-art.1.gz" | grep -q '^\.TH KAVRI-ART 1' || e2e_fail "the kavri-art manual page is damaged"

# The command-line tools run from the prefix, with nothing of the build folder around.
home="$E2E_TMP/home"
mkdir -p "$home"
run_env=(env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME HOME="$home")
art=$("${run_env[@]}" "$prefix/bin/kavri-art" -- Hi) || e2e_fail "the installed kavri-art failed"
grep -q '爱' <<<"$art" || e2e_fail "the installed kavri-art drew no ink"
"${run_env[@]}" "$prefix/bin/skinpack" check "$build/assets/skin/kavri.skinpkg" >/dev/null ||
  e2e_fail "the installed skinpack cannot check the program's skin"

# The window: no settings of the user yet, so the first start copies the default quietly.
KAVRI_HOST=sdl e2e_run kavri "${run_env[@]}" "$prefix/bin/kavri"
kavri_pid=${E2E_PIDS[-1]}
win=$(e2e_wait_window "^kavri$") || e2e_fail "no main window"
sleep 1
[[ -f "$home/.config/kavri/KAVRI.ini" ]] || e2e_fail "the first start did not create $home/.config/kavri/KAVRI.ini"
# A message box carries the application's title, "Kavri"; xdotool's search does not tell
# case, so the names are compared exactly.
e2e_shot started
for id in $(xdotool search --name '^kavri$' 2>/dev/null); do
  [[ $(xdotool getwindowname "$id") != Kavri ]] || e2e_fail "a message box came up at start"
done

eval "$(xdotool getwindowgeometry --shell "$win")"
read -r client_left client_top <<<"$(e2e_skin_client_offset "$build")"
cx=$((X + client_left)) cy=$((Y + client_top))
xdotool mousemove $((cx + 96)) $((cy + 146)) click 1
sleep 0.3
xdotool key ctrl+a type --delay 100 "Hi"
sleep 0.3
xdotool mousemove $((cx + 163)) $((cy + 15)) click 1   # Bu_Convert
sleep 0.8
e2e_shot converted
# The output box at the right now holds dark ink cells.
dark=$(e2e_dark_pixels converted $((cx + 200)) $((cy + 30)) 300 200)
(( dark > 50 )) || e2e_fail "the installed window converted nothing ($dark dark pixels in the output box)"

xdotool mousemove $((cx + 400)) $((cy + 200)) key alt+F4
for i in $(seq 1 50); do kill -0 "$kavri_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$kavri_pid" 2>/dev/null && e2e_fail "Alt+F4 did not end the installed kavri"
status=0
wait "$kavri_pid" || status=$?
(( status == 0 )) || { cat "$E2E_TMP/kavri.out" >&2; e2e_fail "the installed kavri ended with status $status"; }
grep -q '^language=GB312' "$home/.config/kavri/KAVRI.ini" || e2e_fail "closing did not write the user's settings"
grep -q '^n2=\.' "$home/.config/kavri/KAVRI.ini" || e2e_fail "closing did not write the counters"
cmp -s "$prefix/share/kavri/KAVRI.ini" "$(dirname "$0")/../../assets/KAVRI.ini" || e2e_fail "the installed default was changed"
[[ ! -e "$prefix/bin/KAVRI.ini" ]] || e2e_fail "a settings file appeared beside the installed program"
echo "install e2e: ok"
