# Shared helpers for the end-to-end scripts: a private X server, waiting for windows,
# reading pixels of screenshots. Source it; call e2e_start_x first.

e2e_fail() { echo "FAIL: $*" >&2; exit 1; }
e2e_skip() { echo "SKIP: $*" >&2; exit 77; }

E2E_PIDS=()
e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  local i
  for i in $(seq 1 30); do
    local alive=0
    for pid in "${E2E_PIDS[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    (( alive )) || break
    sleep 0.1
  done
  for pid in "${E2E_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  [[ -n "${E2E_TMP:-}" ]] && rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Starts Xvfb on a free display (1024x768, 24 bits) and exports DISPLAY.
e2e_start_x() {
  local tool
  for tool in Xvfb xdotool xclip import convert xdpyinfo; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed (scripts/deps.sh installs it)"
  done
  E2E_TMP=$(mktemp -d)
  e2e_another_x
}

# Starts one more Xvfb on a free display and exports DISPLAY; the server's pid is in
# E2E_X_PID (for tests that kill it).
e2e_another_x() {
  local n
  for n in $(seq 50 150); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$E2E_TMP/xvfb-$n.log" 2>&1 &
    E2E_PIDS+=($!)
    E2E_X_PID=$!
    local i
    for i in $(seq 1 50); do
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "${E2E_PIDS[-1]}" 2>/dev/null || break
      sleep 0.1
    done
  done
  e2e_fail "could not start Xvfb"
}

# Starts a program in the background with its output in $E2E_TMP/NAME.out.
e2e_run() {
  local name=$1
  shift
  "$@" >"$E2E_TMP/$name.out" 2>&1 &
  E2E_PIDS+=($!)
}

# Waits up to 10 s for a line matching $2 in the output of program $1.
e2e_wait_output() {
  local i
  for i in $(seq 1 100); do
    grep -q "$2" "$E2E_TMP/$1.out" 2>/dev/null && return 0
    sleep 0.1
  done
  cat "$E2E_TMP/$1.out" >&2
  e2e_fail "no '$2' from $1"
}

# Waits for a window with the title $1 and prints its id.
e2e_wait_window() {
  local i id
  for i in $(seq 1 100); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -n1)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  e2e_fail "no window named '$1'"
}

# Screenshot of the whole screen into $E2E_TMP/$1.png.
e2e_shot() { import -window root "$E2E_TMP/$1.png"; }

# The pixel at x y of screenshot $1 as "r,g,b".
e2e_pixel() {
  convert "$E2E_TMP/$1.png" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# Whether pixel "r,g,b" $1 is mostly blue (an active caption).
e2e_is_blue() {
  local r g b
  IFS=, read -r r g b <<<"$1"
  (( b > 90 && r < 60 && g < 60 ))
}

# How many pixels of the w x h area at x y of screenshot $1 are dark (below half grey).
e2e_dark_pixels() {
  local shot=$1 x=$2 y=$3 w=$4 h=$5
  convert "$E2E_TMP/$shot.png" -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray \
    -threshold 50% -negate -format "%[fx:int(mean*w*h+0.5)]" info:
}

# Prints "left top" of the client area inside a skinned window: FORMINFO's clientrect of the
# skin the build packed (build folder $1).
e2e_skin_client_offset() {
  local client
  client=$(awk -F'[=,]' '/^\[FORMINFO\]/ { f = 1; next } /^\[/ { f = 0 } f && $1 == "clientrect" { print $2, $3; exit }' \
    "$1/assets/skin/kavri.skin.ini")
  [[ -n "$client" ]] || e2e_fail "the skin gives no client rectangle"
  echo "$client"
}

# A private copy of the program of build folder $1 with the pristine files of assets/ in
# folder $2 (without KAVRI.ini when $3 is "no-settings"): never the build folder's live
# KAVRI.ini, which a person's `make run` changes.
e2e_private_app() {
  local assets
  assets="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../assets" && pwd)"
  mkdir -p "$2"
  cp "$1/app/kavri" "$2/"
  cp -r "$assets/help.htm" "$assets/Language" "$2/"
  [[ "${3:-}" == no-settings ]] || cp "$assets/KAVRI.ini" "$2/"
}
