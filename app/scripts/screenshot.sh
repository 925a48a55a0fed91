#!/bin/sh
# Saves a PNG of the main window showing the front end (under Xvfb when
# there is no display) and prints its path.
#   app/scripts/screenshot.sh <build dir> [out.png] [front-end URL]
set -eu
build=${1:?usage: screenshot.sh <build dir> [out.png] [front-end URL]}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
. "$here/env.sh"
out=${2:-$build/screenshot/main-window.png}
url=${3:-$TESSIVO_FRONTEND_URL}
shot="$build/bin/tessivoYunBoxShot"
if [ -n "${DISPLAY:-}" ]; then
  exec "$shot" "$out" "$url"
fi
exec xvfb-run -a -s "-screen 0 1280x800x24" "$shot" "$out" "$url"
