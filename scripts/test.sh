#!/usr/bin/env bash
# Builds QUORIX HUB and runs every test, then again in an AddressSanitizer + UBSan build.
source "$(dirname "$0")/common.sh"
ensure_packages
ensure_runtime_dir
export QT_QPA_PLATFORM=offscreen
build_tree "$ROOT/build"
(cd "$ROOT/build" && ctest --output-on-failure -j8)
"$ROOT/scripts/check_one_copy.sh"
build_tree "$ROOT/build-asan" -DQUORIX_SANITIZE=ON
(cd "$ROOT/build-asan" && ctest --output-on-failure -j8)
echo "All tests passed (normal and sanitizer builds)."
