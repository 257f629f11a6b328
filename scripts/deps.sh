#!/usr/bin/env bash
# Installs the Debian packages Kavri needs that are not installed yet. Idempotent and
# quiet when everything is present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  zlib1g-dev libfreetype-dev libfontconfig-dev libsdl2-dev liblitehtml-dev libgumbo-dev libpng-dev
  libcurl4-openssl-dev libutf8proc-dev libgtest-dev libgmock-dev libbenchmark-dev
  libsystemd-dev dbus-daemon dbus-bin libxdamage-dev
  fonts-dejavu-core fonts-arphic-uming fonts-wqy-microhei
  xvfb xauth xdotool xclip imagemagick x11-utils
  python3
  clang libclang-rt-14-dev
  figlet toilet python3
  desktop-file-utils appstream lintian dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "deps.sh: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi

echo "deps.sh: installing ${missing[*]}"
log=$(mktemp)
export DEBIAN_FRONTEND=noninteractive
if ! { $sudo apt-get update -q && $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
  echo "deps.sh: apt-get failed; its output:" >&2
  tail -n 40 "$log" >&2
  rm -f "$log"
  exit 1
fi
rm -f "$log"
