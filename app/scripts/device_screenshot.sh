#!/bin/sh
# Saves PNGs of a playing device window and of the key-mapping editor (under
# Xvfb when there is no display) and prints their paths.
#   app/scripts/device_screenshot.sh <build dir> [out dir]
set -eu
build=${1:?usage: device_screenshot.sh <build dir> [out dir]}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
. "$here/env.sh"
out=${2:-$build/screenshot}
shot="$build/bin/tessivoYunBoxDeviceShot"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
if [ -n "${DISPLAY:-}" ]; then
  exec "$shot" "$out"
fi
exec xvfb-run -a -s "-screen 0 1280x1000x24" "$shot" "$out"
