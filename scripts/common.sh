# Shared by run.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACKAGES="qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libhidapi-dev libudev-dev cmake ninja-build ccache pkg-config g++ fonts-wqy-microhei"
PACKAGES="$PACKAGES xvfb libxtst-dev libx11-dev"
PACKAGES="$PACKAGES libpulse-dev pulseaudio pulseaudio-utils"

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

configure_tree() {  # configure_tree <dir> [cmake options...]
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

build_tree() {  # build_tree <dir> [cmake options...]: configures and builds every target
  configure_tree "$@"
  cmake --build "$1" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
}

build_targets() {  # build_targets <dir> <target>...: configures and builds only these targets
  local dir="$1"; shift
  configure_tree "$dir"
  cmake --build "$dir" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target "$@"
}

# The program's single-instance lock lives in the runtime folder, so every start must find the
# same one. The user's XDG_RUNTIME_DIR is kept (made when missing); without one, the folder is
# the one Qt itself falls back to, so a copy started by hand without the variable shares it.
ensure_runtime_dir() {
  if [ -n "${XDG_RUNTIME_DIR:-}" ]; then
    [ -d "$XDG_RUNTIME_DIR" ] || mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    return 0
  fi
  local tmp="${TMPDIR:-/tmp}"
  export XDG_RUNTIME_DIR="${tmp%/}/runtime-$(id -un)"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR" # fails, and so stops, on a folder of another user
}
