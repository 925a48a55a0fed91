#!/usr/bin/env bash
# `make run`: starts the local cloud on free loopback ports, points the
# program at it and runs tessivoYunBox. Without a display the program runs
# under Xvfb and a screenshot of its window is saved instead.
#   scripts/run.sh <build dir> [--screenshot]
set -euo pipefail
build=${1:?usage: run.sh <build dir> [--screenshot]}
mode=${2:-}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$build" && pwd)
cloud_bin="$build/bin/cloudsim"
app_bin="$build/bin/tessivoYunBox"
[ -x "$cloud_bin" ] || { echo "run: $cloud_bin is not built" >&2; exit 1; }
[ -x "$app_bin" ] || { echo "run: $app_bin is not built" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tessivo-run.XXXXXX")
ready="$work/cloud.json"
"$cloud_bin" --web-root "$repo/tools/cloudsim/web" --ready-file "$ready" > "$work/cloudsim.log" 2>&1 &
cloud_pid=$!
trap 'kill "$cloud_pid" 2>/dev/null || true; wait "$cloud_pid" 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  [ -s "$ready" ] && break
  kill -0 "$cloud_pid" 2>/dev/null || { cat "$work/cloudsim.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$ready" ] || { echo "run: the local cloud did not start" >&2; cat "$work/cloudsim.log" >&2; exit 1; }
https_port=$(sed -n 's/.*"httpsPort":\([0-9]*\).*/\1/p' "$ready")
http_port=$(sed -n 's/.*"httpPort":\([0-9]*\).*/\1/p' "$ready")
export TESSIVO_PLATFORM_URL="https://127.0.0.1:$https_port"
export TESSIVO_STAT_URL="https://127.0.0.1:$https_port"
export TESSIVO_FRONTEND_URL="http://127.0.0.1:$http_port/index.html"
echo "local cloud: platform $TESSIVO_PLATFORM_URL, front end $TESSIVO_FRONTEND_URL (log: $work/cloudsim.log)"

# Camera and microphone the phone may use: synthetic ones where the machine
# has none, unless configuration.ini already chooses.
ini="$build/bin/configuration.ini"
have_key() { [ -f "$ini" ] && grep -q "^$1=" "$ini"; }
set_capture() {
  if ! grep -q '^\[capture\]' "$ini" 2>/dev/null; then printf '\n[capture]\n' >> "$ini"; fi
  sed -i "/^\[capture\]/a $1=$2" "$ini"
}
if ! have_key camera && ! ls /dev/video* >/dev/null 2>&1; then set_capture camera synthetic; fi
if ! have_key microphone && ! ls /dev/snd/pcmC*c >/dev/null 2>&1; then set_capture microphone synthetic; fi

# The program keeps its settings, cache and logs beside itself and in the
# working folder: run it from a folder of its own.
cd "$work"
if [ "$mode" = "--screenshot" ] || { [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; }; then
  out="$build/screenshot/main-window.png"
  bash "$repo/app/scripts/screenshot.sh" "$build" "$out" "$TESSIVO_FRONTEND_URL"
else
  . "$repo/app/scripts/env.sh"
  "$app_bin" "$TESSIVO_FRONTEND_URL"
fi
