#!/usr/bin/env bash
# Start-up of the skinned main window against a plain X client, side by side in one run on a
# private Xvfb: time from launch to the window's map and to the end of its first painting
# (X Damage events, no polling of the screen), and resident memory then. Medians of N runs.
set -euo pipefail
build=${1:-build}
runs=${2:-9}
probe="$build/bench/startup_probe"
[[ -x "$probe" ]] || { echo "startup.sh: $probe is not built (needs libxdamage-dev)"; exit 1; }
[[ -x "$build/app/kavri" ]] || { echo "startup.sh: $build/app/kavri is not built"; exit 1; }
command -v xmessage >/dev/null || { echo "startup.sh: xmessage is not installed (x11-utils)"; exit 1; }

tmp=$(mktemp -d)
xvfb_pid=
cleanup() { [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT
for n in $(seq 60 160); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for i in $(seq 1 50); do DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  export DISPLAY=":$n"
  break
done
[[ -n "$xvfb_pid" ]] || { echo "startup.sh: no free display"; exit 1; }

# The program beside the pristine files it reads, as a person's fresh copy.
assets="$(cd "$(dirname "$0")/../assets" && pwd)"
mkdir -p "$tmp/app"
cp "$build/app/kavri" "$tmp/app/"
cp -r "$assets/KAVRI.ini" "$assets/help.htm" "$assets/Language" "$tmp/app/"

# The notice strip's connection test knocks where nothing listens, so the network's
# answer time does not enter the measure.
export KAVRI_WEB_BASE=${KAVRI_WEB_BASE:-http://127.0.0.1:1}

# One warm-up each (font caches), then alternating runs.
KAVRI_HOST=sdl "$probe" "$tmp/app/kavri" >/dev/null || true
cp "$assets/KAVRI.ini" "$tmp/app/"
"$probe" xmessage -center "Kavri" >/dev/null || true
for i in $(seq 1 "$runs"); do
  cp "$assets/KAVRI.ini" "$tmp/app/"
  KAVRI_HOST=sdl "$probe" "$tmp/app/kavri" >>"$tmp/kavri.txt"
  "$probe" xmessage -center "Kavri" >>"$tmp/xmessage.txt"
done

median() { # field file
  sed -n "s/.*$1=\([0-9.-]*\).*/\1/p" "$2" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
printf '%-10s %10s %12s %10s\n' program map_ms painted_ms rss_mb
for p in kavri xmessage; do
  printf '%-10s %10s %12s %10s\n' "$p" "$(median map_ms "$tmp/$p.txt")" "$(median paint_ms "$tmp/$p.txt")" \
    "$(awk -v kb="$(median rss_kb "$tmp/$p.txt")" 'BEGIN { printf "%.1f", kb / 1024 }')"
done
k=$(median paint_ms "$tmp/kavri.txt") x=$(median paint_ms "$tmp/xmessage.txt")
awk -v k="$k" -v x="$x" 'BEGIN { printf "kavri painted / xmessage painted: %.2f\n", k / x }'
