# Shared by run.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACKAGES="qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libhidapi-dev libudev-dev cmake ninja-build ccache pkg-config g++ fonts-wqy-microhei"
PACKAGES="$PACKAGES xvfb libxtst-dev libx11-dev"

ensure_packages() {
  local missing=""
  for p in $PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" = 0 ]; then
    echo "Installing:$missing"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
  else
    echo "Missing Debian packages. Install them with:"
    echo "  sudo apt-get install --no-install-recommends$missing"
    exit 1
  fi
}

build_tree() {  # build_tree <dir> [cmake options...]
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

ensure_runtime_dir() {
  if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ]; then
    export XDG_RUNTIME_DIR="$(mktemp -d /tmp/quorix-runtime.XXXXXX)"
  fi
  chmod 700 "$XDG_RUNTIME_DIR"
}
