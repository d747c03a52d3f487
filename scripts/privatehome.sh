# Sourced by the scripts that start the program or its tests outside ctest (ctest gives each test
# the same set of folders, see tests/CMakeLists.txt).
#
# use_private_home DIR
#   Points HOME and the XDG folders (configuration, data, cache, runtime) at fresh folders under
#   DIR, so that nothing reads or writes the user's own settings, recovery copies or caches.
use_private_home() {
    local root=$1
    export HOME="$root/home" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data"
    export XDG_CACHE_HOME="$root/cache" XDG_RUNTIME_DIR="$root/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}
