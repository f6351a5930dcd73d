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
  for _ in $(seq 50); do [ -s "$numfile" ] && break; sleep 0.1; done
  [ -s "$numfile" ] && export QUORIX_TEST_XDISPLAY=":$(head -n1 "$numfile")"
  rm -f "$numfile"
}
# A PulseAudio daemon for the audio tests, in a runtime folder of its own, with one null sink
# "test_sink" (its monitor carries what is played into it). PULSE_SERVER points the tests at it;
# it is stopped by its pid at the end. Without pulseaudio the audio tests skip and say why.
start_pulseaudio() {
  if ! command -v pulseaudio >/dev/null; then
    echo "pulseaudio is not installed: the audio capture tests will skip"
    return 0
  fi
  PULSE_DIR="$(mktemp -d)"
  chmod 700 "$PULSE_DIR"
  if ! PULSE_RUNTIME_PATH="$PULSE_DIR" pulseaudio -D --exit-idle-time=-1 -n -L module-native-protocol-unix \
      -L "module-null-sink sink_name=test_sink" -L module-always-sink 2>"$PULSE_DIR/start.log"; then
    echo "pulseaudio did not start ($(tail -n1 "$PULSE_DIR/start.log")): the audio capture tests will skip"
    return 0
  fi
  for _ in $(seq 50); do [ -s "$PULSE_DIR/pid" ] && break; sleep 0.1; done
  PULSE_PID="$(cat "$PULSE_DIR/pid" 2>/dev/null || true)"
  export PULSE_SERVER="unix:$PULSE_DIR/native"
}
stop_helpers() {
  [ -n "${XVFB_PID:-}" ] && { kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null || true; }
  [ -n "${PULSE_PID:-}" ] && kill "$PULSE_PID" 2>/dev/null
  [ -n "${PULSE_DIR:-}" ] && rm -rf "$PULSE_DIR"
  return 0
}
trap stop_helpers EXIT
start_xvfb
start_pulseaudio
build_tree "$ROOT/build"
(cd "$ROOT/build" && ctest --output-on-failure -j8)
"$ROOT/scripts/check_one_copy.sh"
build_tree "$ROOT/build-asan" -DQUORIX_SANITIZE=ON
# Half as many at once: the sanitized GUI tests run several times slower, and device time-outs
# must not be reached by a machine that is merely busy.
(cd "$ROOT/build-asan" && ctest --output-on-failure -j4)
echo "All tests passed (normal and sanitizer builds)."
