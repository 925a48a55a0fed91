#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
# Idempotent: does nothing when everything is already present. Run as root.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qtbase5-dev qtwebengine5-dev libqt5websockets5-dev
  libuv1-dev libjsoncpp-dev libssl-dev openssl
  libflatbuffers-dev flatbuffers-compiler
  libavcodec-dev libavutil-dev libswscale-dev libavfilter-dev libx264-dev
  libopus-dev libsdl2-dev libboost-dev
  libxcb-shm0-dev libxcb-damage0-dev libgl1-mesa-dri
  xvfb xauth x11-utils xdotool fonts-wqy-microhei
  clang libclang-rt-dev
)
CURL_MIN=8.14.1
BACKPORTS_LIST=/etc/apt/sources.list.d/tessivo-bookworm-backports.sources

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

curl_ok() {
  local v
  v=$(dpkg-query -W -f='${Version}' libcurl4-openssl-dev 2>/dev/null) || return 1
  dpkg --compare-versions "$v" ge "$CURL_MIN"
}

if [ ${#missing[@]} -eq 0 ] && curl_ok; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]:-libcurl4-openssl-dev >= $CURL_MIN}); run as root" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive

# Enable bookworm-backports on the mirror the machine already uses, so that
# no host name is written here.
if [ ! -f "$BACKPORTS_LIST" ]; then
  mirror=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    mirror=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
  fi
  if [ -z "$mirror" ] && [ -f /etc/apt/sources.list ]; then
    mirror=$(awk '$1=="deb" && $3 ~ /^bookworm$/ {print $2; exit}' /etc/apt/sources.list)
  fi
  if [ -z "$mirror" ]; then
    echo "install-deps: no Debian mirror found in the apt sources" >&2
    exit 1
  fi
  cat > "$BACKPORTS_LIST" <<SRC
Types: deb
URIs: $mirror
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
fi

apt-get update
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
if ! curl_ok; then
  apt-get install -y --no-install-recommends -t bookworm-backports libcurl4-openssl-dev libcurl4t64 || \
    apt-get install -y --no-install-recommends -t bookworm-backports libcurl4-openssl-dev
fi
curl_ok || { echo "install-deps: libcurl4-openssl-dev >= $CURL_MIN could not be installed" >&2; exit 1; }
