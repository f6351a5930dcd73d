#!/usr/bin/env bash
# Builds QUORIX HUB (the program, the emulator build and the program folder; the tests are left
# to test.sh) and starts it on the built program folder (build/bin).
source "$(dirname "$0")/common.sh"
ensure_packages
build_targets "$ROOT/build" quorix-hub quorix-hub-emu programdir
ensure_runtime_dir
if ! ls /etc/udev/rules.d/*quorix* >/dev/null 2>&1 && [ -f "$ROOT/platform/linux/70-quorix-hub.rules" ]; then
  echo "Note: to use the devices as a normal user, install the udev rule once:"
  echo "  sudo cp $ROOT/platform/linux/70-quorix-hub.rules /etc/udev/rules.d/ && sudo udevadm control --reload && sudo udevadm trigger"
fi
exec "$ROOT/build/bin/quorix-hub" "$@"
