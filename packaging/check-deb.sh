#!/usr/bin/env bash
# Debian package check, run by hand as root (it installs and removes a package, so ctest does
# not run it): builds the package in build-deb (configured for /usr), checks its dependencies,
# installs it with apt, starts the installed /usr/bin/quorstudio offscreen, validates the
# installed desktop files, and removes the package again.
#
#   bash packaging/check-deb.sh
#
# The package is left in build-deb/. Set QUOR_DEB_BUILD to use another build folder.
set -euo pipefail

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUOR_DEB_BUILD:-$source_dir/build-deb}
app_id=org.quorstudio.QuorStudio

if dpkg-query -W -f='${Status}' quorstudio 2>/dev/null | grep -q 'install ok installed'; then
    echo "The quorstudio package is installed already; remove it first." >&2
    exit 1
fi

cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUOR_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j 2
cmake --build "$build" --target quor_output_probe
rm -f "$build"/quorstudio_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/quorstudio_*.deb)
source "$build/packaging/install-dirs.sh"

work=$(mktemp -d)
installed=""
cleanup() {
    if [ -n "$installed" ]; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq --purge quorstudio >/dev/null
        echo "Removed the quorstudio package again."
    fi
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
checks=0
pass() { checks=$((checks + 1)); }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL: $*"; }
check() {
    local what=$1
    shift
    if "$@"; then pass; else fail "$what"; fi
}

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in libqt5core5a libqt5gui5 libqt5widgets5 libqt5printsupport5 libqt5svg5 \
    libc6 libstdc++6; do
    check "the package depends on $package" grep -q "\b$package\b" <<<"$depends"
done

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log"
installed=yes
check "dpkg lists /usr/bin/quorstudio" grep -qx /usr/bin/quorstudio <(dpkg -L quorstudio)
check "dpkg lists /usr/bin/quorstudio-run" grep -qx /usr/bin/quorstudio-run <(dpkg -L quorstudio)
check "dpkg lists /usr/bin/quorstudio-engine-host" \
    grep -qx /usr/bin/quorstudio-engine-host <(dpkg -L quorstudio)
check "dpkg lists the quorstudio-run manual page" \
    grep -q '^/usr/share/man/man1/quorstudio-run\.1' <(dpkg -L quorstudio)
check "dpkg lists /usr/bin/quorstudio-lsp" grep -qx /usr/bin/quorstudio-lsp <(dpkg -L quorstudio)
check "dpkg lists the quorstudio-lsp manual page" \
    grep -q '^/usr/share/man/man1/quorstudio-lsp\.1' <(dpkg -L quorstudio)
check "dpkg lists the syntax definition" \
    grep -qx /usr/share/org.kde.syntax-highlighting/syntax/quor.xml <(dpkg -L quorstudio)
check "dpkg lists /usr/$libdir/libquor.so.1" grep -qx "/usr/$libdir/libquor.so.1" <(dpkg -L quorstudio)
check "dpkg lists /usr/include/quor.h" grep -qx /usr/include/quor.h <(dpkg -L quorstudio)
check "desktop-file-validate" desktop-file-validate "/usr/share/applications/$app_id.desktop"
check "appstreamcli validate" \
    appstreamcli validate --no-net --strict "/usr/share/metainfo/$app_id.metainfo.xml"
# dpkg's triggers rebuild the system MIME database with the package's type.
check "the system MIME database knows *.quor" grep -q ':text/x-quor:\*\.quor$' /usr/share/mime/globs2

probe="$build/packaging/libquor_output_probe.so"
source "$source_dir/packaging/check-install-run.sh"
check_installed_program /usr/bin/quorstudio "/usr/$libdir/libquor.so.1"
check_installed_runner /usr/bin/quorstudio-run "/usr/$docdir/examples/tutorial.quor" 1
check_installed_language_server /usr/bin/quorstudio-lsp

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
