#!/usr/bin/env bash
# Installs the built program into a scratch prefix and builds its Debian package into a scratch folder,
# then checks that every file is in its place, that the desktop's own validators and lintian accept them,
# and that everything names the program's one version.
# Everything it makes goes into one temporary folder; the build keeps its install manifest as it was.
#
#   check-install.sh BUILD_DIR APP_ID
set -uo pipefail

build=$(cd "$1" && pwd)
id=$2
tmp=$(mktemp -d "${TMPDIR:-/tmp}/mapwheel-packaging.XXXXXX")
manifest="$build/install_manifest.txt"
had_manifest=0
if [ -e "$manifest" ]; then
    had_manifest=1
    cp -p "$manifest" "$tmp/install_manifest.txt"
fi
restore() {
    if ((had_manifest)); then
        cp -p "$tmp/install_manifest.txt" "$manifest"
    else
        rm -f "$manifest"
    fi
    rm -rf "$tmp"
}
trap restore EXIT

failures=0
pass() { echo "PASS: $*"; }
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
    done
}
need cmake cpack desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps gzip lintian file

# --- An installation into a scratch prefix -------------------------------------------------------------
stage="$tmp/stage"
if ! cmake --install "$build" --prefix "$stage" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log"
    fail "cmake --install into a scratch prefix"
    exit 1
fi
pass "cmake --install into a scratch prefix"

data="$stage/share/mapwheel"
desktop="$stage/share/applications/$id.desktop"
metainfo="$stage/share/metainfo/$id.metainfo.xml"
for f in bin/mapwheel share/mapwheel/mapwheel.hlp share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/man/man1/mapwheel.1.gz share/doc/mapwheel/LICENSE \
         share/doc/mapwheel/copyright share/doc/mapwheel/changelog.Debian.gz; do
    check "installed: $f" test -f "$stage/$f"
done
for kind in gif jpg bmp; do
    check "installed: a sample map share/mapwheel/Maps/*.$kind" test -n "$(compgen -G "$data/Maps/*.$kind")"
done
check "installed: the icons drawn at 48, 64 and 128 pixels" test "$(cd "$stage/share/icons/hicolor" &&
    file -b {48x48,64x64,128x128}/apps/$id.png | cut -d, -f2 | tr -d '\n')" = " 48 x 48 64 x 64 128 x 128"
check "installed: the AppStream screenshot" cmp -s "$(dirname "$0")/../../docs/screenshot.png" "$data/screenshot.png"

# The desktop entry hands the program a map file; it finds its data folder itself, wherever it starts.
key() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
check "desktop entry: desktop-file-validate" desktop-file-validate "$desktop"
check "desktop entry: no Path" test -z "$(grep '^Path=' "$desktop")"
check "desktop entry: Exec is the installed program with a file" test "$(key Exec)" = "$stage/bin/mapwheel %f"
check "desktop entry: MimeType lists the map kinds" \
    test "$(key MimeType)" = "image/jpeg;image/gif;image/bmp;image/png;image/tiff;"
check "desktop entry: Icon is the installed icon" test "$(key Icon)" = "$id"
check "desktop entry: Name is Mapwheel" test "$(key Name)" = "Mapwheel"
for word in map route distance walk hike measure; do
    check "desktop entry: Keywords has $word" grep -q "^Keywords=\(.*;\)\?$word;" "$desktop"
done
version=$("$stage/bin/mapwheel" --version 2>&1) && version=${version#mapwheel }
check "the installed program answers --version (mapwheel $version)" grep -q '^[0-9]' <<<"$version"

if appstreamcli validate --no-net --pedantic "$metainfo" >"$tmp/appstream.log" 2>&1 &&
    ! grep -q '^[EWIP]: ' "$tmp/appstream.log"; then
    pass "metainfo: appstreamcli validate --no-net --pedantic, no remarks"
else
    cat "$tmp/appstream.log"
    fail "metainfo: appstreamcli validate --no-net --pedantic, no remarks"
fi
check "metainfo: launches the desktop entry" grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
check "metainfo: the newest release is $version" test "$(grep -om1 '<release version="[^"]*"' "$metainfo")" = \
    "<release version=\"$version\""
check "metainfo: provides the kinds the desktop entry names" test "$(key MimeType)" = \
    "$(sed -n 's|.*<mediatype>\(.*\)</mediatype>|\1;|p' "$metainfo" | tr -d '\n')"

man="$tmp/mapwheel.1"
gzip -dc "$stage/share/man/man1/mapwheel.1.gz" >"$man"
check "man page: names the installed data folder" grep -q "^\.I $data/Maps/" "$man"
check "man page: of version $version" grep -q "^\.TH .* \"Mapwheel $version\"" "$man"
if command -v groff >/dev/null; then
    check "man page: groff formats it without warnings" test -z "$(groff -man -ww -z "$man" 2>&1)"
fi
check "changelog: its top entry is $version-1" grep -q "^mapwheel ($version-1) " \
    <<<"$(gzip -dc "$stage/share/doc/mapwheel/changelog.Debian.gz")"

# --- The Debian package ----------------------------------------------------------------------------------
# Its staging goes under -B, so the build tree gets nothing but the install manifest restored above.
if ! cpack -G DEB -B "$tmp/package" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log"
    fail "cpack -G DEB"
    exit 1
fi
debs=("$tmp"/package/mapwheel_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "cpack -G DEB made one mapwheel_*.deb"
    exit 1
fi
deb=${debs[0]}
pass "cpack -G DEB made $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
echo "Depends: $depends"
# Its name, maintainer, section and the like lintian checks below.
check "package: version $version-1" test "$(field Version)" = "$version-1"
check "package: has a homepage" test -n "$(field Homepage)"
# From dpkg-shlibdeps: the libraries linked. libqt6gui6 also carries the X platform plugin and the GIF
# reader, libqt6svg6 the SVG icon engine; the TIFF layouts left to Qt need the extra image formats.
for dep in libqt6widgets6 libqt6gui6 libqt6svg6 libjpeg62-turbo libtiff6 qt6-image-formats-plugins; do
    check "package: depends on $dep" grep -Eq "(^|, )$dep( |,|$)" <<<"$depends"
done

dpkg-deb -c "$deb" | awk '{print $NF}' >"$tmp/contents"
# The same files as the installation checked above, under /usr.
(cd "$stage" && find . -type f | sed 's|^\./|./usr/|' | sort) >"$tmp/installed"
grep -v '/$' "$tmp/contents" | sort >"$tmp/packaged"
check "package: the same files as cmake --install, under /usr" diff -u "$tmp/installed" "$tmp/packaged"
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - "./usr/share/applications/$id.desktop")
check "package: the desktop entry starts /usr/bin/mapwheel with a file" grep -qx "Exec=/usr/bin/mapwheel %f" <<<"$entry"
# What a Debian packager runs first: nothing at error or warning level.
lintian "$deb" 2>&1 | grep -v '^running with root privileges' | tee "$tmp/lintian.log"
check "package: lintian finds no errors or warnings" test -z "$(grep '^[EW]: ' "$tmp/lintian.log")"

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all packaging checks passed"
