#!/bin/sh
# Starts tessivoYunBox on the front end page. Without a display it runs under
# Xvfb instead, saves a screenshot of the main window and says where.
#   app/scripts/run.sh <build dir> [front-end URL]
set -eu
build=${1:?usage: run.sh <build dir> [front-end URL]}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
. "$here/env.sh"
if [ $# -ge 2 ]; then TESSIVO_FRONTEND_URL=$2; export TESSIVO_FRONTEND_URL; fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/tessivoYunBox"
fi
echo "no display: running under Xvfb and taking a screenshot instead"
exec "$here/screenshot.sh" "$build"
