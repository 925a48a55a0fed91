#!/usr/bin/env bash
# `make run` on a desktop: scripts/run.sh, started the way make starts it (a
# relative path, from the repository folder) on a private X server, brings the
# main window up on the local cloud's page, and the window stays up.
#   run_script_test.sh <repository> <build dir>
set -euo pipefail
repo=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
work=$(mktemp -d /tmp/run-script-test.XXXXXX)
xvfb_pid=""
run_pid=""
cleanup() {
  [ -n "$run_pid" ] && kill -TERM -- "-$run_pid" 2>/dev/null || true
  [ -n "$run_pid" ] && wait "$run_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  echo "--- run.sh output:" >&2
  cat "$work/run.log" >&2 || true
  exit 1
}
# Polls cmd every 0.2 s until it succeeds or seconds pass.
wait_for() {
  local seconds=$1; shift
  local end=$(( $(date +%s) + seconds ))
  until "$@"; do
    [ "$(date +%s)" -lt "$end" ] || return 1
    sleep 0.2
  done
}

Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 30 test -s "$work/display" || fail "the private X server did not start"
export DISPLAY=":$(head -n1 "$work/display")"

# The program's single-instance lock lives in the temporary folder: a private
# one keeps this run apart from other tests' instances and a user's.
mkdir -p "$work/tmp"
export TMPDIR="$work/tmp"

# make runs `bash scripts/run.sh build` from the repository folder.
cd "$repo"
rel_build=$(realpath --relative-to="$repo" "$build")
setsid bash scripts/run.sh "$rel_build" >"$work/run.log" 2>&1 &
run_pid=$!

# A top-level window of the program at least 100 pixels each way (its helper
# windows are 1 x 1 or 3 x 3).
main_window_shown() {
  xwininfo -root -children 2>/dev/null | grep -qE '\("tessivoYunBox" "tessivoYunBox"\) +[0-9]{3,}x[0-9]{3,}'
}
alive() { kill -0 "$run_pid" 2>/dev/null; }
shown_or_ended() { main_window_shown || ! alive; }
wait_for 120 shown_or_ended || fail "no main window appeared"
alive || fail "run.sh ended before the main window appeared"
grep -q "local cloud: platform https://127.0.0.1:" "$work/run.log" || fail "the local cloud did not start"
front_end=$(sed -n 's/.*front end \(http[^ ]*\) .*/\1/p' "$work/run.log")
wait_for 60 grep -q "loading $front_end" "$work/run.log" || fail "the program did not load the local cloud's page"

# The window stays up: the program neither exits nor closes it.
end=$(( $(date +%s) + 5 ))
while [ "$(date +%s)" -lt "$end" ]; do
  alive || fail "run.sh ended while the window was up"
  main_window_shown || fail "the main window went away"
  sleep 0.5
done
