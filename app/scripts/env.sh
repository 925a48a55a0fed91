# Environment of the desktop client on this machine (sourced by run.sh and
# screenshot.sh). The browser view runs as root only without its sandbox, and
# on a closed network Chromium's background traffic stays off.
# The caller sets `repo` to the repository's absolute path first: a sourced
# file cannot find itself through $0, which names the caller (and is relative
# when make starts it), and the caller may have changed folder since.
: "${repo:?env.sh: the caller sets repo to the repository path}"
: "${TESSIVO_FRONTEND_URL:=file://$repo/tools/cloudsim/web/index.html}"
: "${QTWEBENGINE_DISABLE_SANDBOX:=1}"
: "${QTWEBENGINE_CHROMIUM_FLAGS:=--disable-background-networking --disable-component-update --no-first-run}"
export TESSIVO_FRONTEND_URL QTWEBENGINE_DISABLE_SANDBOX QTWEBENGINE_CHROMIUM_FLAGS
