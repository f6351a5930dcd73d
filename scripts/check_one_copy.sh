#!/usr/bin/env bash
# Starts the hub the README's way (scripts/run.sh, no XDG_RUNTIME_DIR) and, while it runs, once
# more the same way, once as build/bin/quorix-hub and once as its emulator build beside it: each must
# end at once with exit code 1.
# scripts/test.sh runs it after the build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
scratch="$(mktemp -d)"
first=""
cleanup() {
  if [ -n "$first" ] && kill -0 "$first" 2>/dev/null; then
    kill "$first"
    wait "$first" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "one-copy check: $*" >&2
  for f in "$scratch"/*.out; do [ -f "$f" ] && { echo "--- $(basename "$f")"; tail -20 "$f"; } >&2; done
  exit 1
}

# A private temporary folder: the fixed runtime folder then lies inside it, away from a hub the
# user may be running, and is found the same way by the script and by the program.
export TMPDIR="$scratch"
unset XDG_RUNTIME_DIR
export QT_QPA_PLATFORM=offscreen
log="$ROOT/build/bin/Log.txt"
shown() { cat "$log" 2>/dev/null | grep -c "OPenApp Zr Hub End" || true; }

before="$(shown)"
"$ROOT/scripts/run.sh" >"$scratch/first.out" 2>&1 &
first=$!
for _ in $(seq 600); do
  [ "$(shown)" -gt "$before" ] && break
  kill -0 "$first" 2>/dev/null || fail "the first start ended early"
  sleep 0.2
done
[ "$(shown)" -gt "$before" ] || fail "the first start showed no window within 120 s"

rc=0
timeout 60 "$ROOT/scripts/run.sh" >"$scratch/second.out" 2>&1 || rc=$?
[ "$rc" = 1 ] || fail "a second scripts/run.sh ended with $rc, not 1"
rc=0
timeout 60 "$ROOT/build/bin/quorix-hub" >"$scratch/third.out" 2>&1 || rc=$?
[ "$rc" = 1 ] || fail "build/bin/quorix-hub beside scripts/run.sh ended with $rc, not 1"
rc=0
QUORIX_EMU="" timeout 60 "$ROOT/build/bin/quorix-hub-emu" >"$scratch/fourth.out" 2>&1 || rc=$?
[ "$rc" = 1 ] || fail "build/bin/quorix-hub-emu beside scripts/run.sh ended with $rc, not 1"
kill -0 "$first" 2>/dev/null || fail "the first copy did not keep running"
[ "$(shown)" = "$((before + 1))" ] || fail "more than one window was shown"
[ "$(ls "$scratch" | grep -c '^runtime-')" = 1 ] || fail "the starts did not share one runtime folder"
echo "One copy at a time: a second scripts/run.sh, build/bin/quorix-hub and build/bin/quorix-hub-emu all ended with exit code 1."
