#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop expects
# there: the layout, a valid menu entry and AppStream data, and an installed
# tovane that finds its help pages and translations from its own place.
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
check() {
    local what=$1; shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

cmake --install "$build" --prefix "$prefix" > /dev/null
for file in bin/tovane bin/tovane-split share/applications/tovane.desktop \
            share/icons/hicolor/48x48/apps/tovane.png share/icons/hicolor/scalable/apps/tovane.svg \
            share/tovane/help/index.html share/tovane/help/garbled.html share/tovane/help/modes.html \
            share/man/man1/tovane-split.1 share/metainfo/local.tovane.tovane.metainfo.xml; do
    check "installed $file" test -s "$prefix/$file"
done
check "tovane is executable" test -x "$prefix/bin/tovane"
check "desktop entry is valid" desktop-file-validate "$prefix/share/applications/tovane.desktop"
check "AppStream data is valid" appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/local.tovane.tovane.metainfo.xml"
check "manual page formats" sh -c "man -l '$prefix/share/man/man1/tovane-split.1' > /dev/null 2>&1"
check "installed tovane finds its pages and translations" \
    env -u QT_QPA_PLATFORM "$prefix/bin/tovane" --check-install
check "help pages are the installed ones" \
    sh -c "'$prefix/bin/tovane' --check-install | grep -q 'help pages: $prefix/share/tovane/help'"
check "installed tovane-split runs" sh -c "'$prefix/bin/tovane-split' --version | grep -q '^tovane-split 3.1.0$'"
echo "install layout: $failures failed"
exit $((failures > 0))
