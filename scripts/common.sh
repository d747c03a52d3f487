# Shared by run.sh and test.sh: installs the Debian packages that are missing.
set -euo pipefail

# Packages every build needs.
QUOR_BUILD_PACKAGES="build-essential cmake ninja-build lld qtbase5-dev libqt5svg5-dev fonts-dejavu-core"

install_missing() {
    local missing=""
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $package"
        fi
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        # shellcheck disable=SC2086
        apt-get install -y -qq --no-install-recommends $missing
    fi
}

QUOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$QUOR_ROOT/scripts/privatehome.sh"
