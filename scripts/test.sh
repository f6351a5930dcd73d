#!/usr/bin/env bash
# Builds QUORIX HUB and runs every test, then again in an AddressSanitizer + UBSan build.
source "$(dirname "$0")/common.sh"
ensure_packages
ensure_runtime_dir
export QT_QPA_PLATFORM=offscreen

# An X server for the test of the system-wide key and button capture only: its display goes in
# QUORIX_TEST_XDISPLAY, which no other test reads; the server is stopped by its pid at the end.
start_xvfb() {
  command -v Xvfb >/dev/null || return 0
  local numfile; numfile="$(mktemp)"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>"$numfile" 2>/dev/null &
  XVFB_PID=$!
  trap 'kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [ -s "$numfile" ] && break; sleep 0.1; done
  [ -s "$numfile" ] && export QUORIX_TEST_XDISPLAY=":$(head -n1 "$numfile")"
  rm -f "$numfile"
}
start_xvfb
build_tree "$ROOT/build"
(cd "$ROOT/build" && ctest --output-on-failure -j8)
"$ROOT/scripts/check_one_copy.sh"
build_tree "$ROOT/build-asan" -DQUORIX_SANITIZE=ON
# Half as many at once: the sanitized GUI tests run several times slower, and device time-outs
# must not be reached by a machine that is merely busy.
(cd "$ROOT/build-asan" && ctest --output-on-failure -j4)
echo "All tests passed (normal and sanitizer builds)."
