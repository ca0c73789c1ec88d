#!/usr/bin/env bash
# The launcher entry and AppStream data pass their validators, and an install
# into a temporary prefix starts offscreen and seeds its data folder from the
# installed data.
#   packaging_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src="$1"
build="$2"
id=org.quorvant.Quorvant
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is missing (Debian package desktop-file-utils)"
command -v appstreamcli >/dev/null || fail "appstreamcli is missing (Debian package appstream)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; }

for f in bin/quorvant bin/quorvant-ctl \
         "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
         "share/icons/hicolor/scalable/apps/$id.svg" \
         "share/icons/hicolor/48x48/apps/$id.png" "share/icons/hicolor/256x256/apps/$id.png" \
         share/quorvant/TagInfo.Dat; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$prefix/bin/quorvant" ] || fail "bin/quorvant is not executable"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --strict "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -qx 'Exec=quorvant %F' "$prefix/share/applications/$id.desktop" || fail "Exec line"
for type in text/html application/xhtml+xml text/css application/javascript; do
  grep -q "^MimeType=.*$type;" "$prefix/share/applications/$id.desktop" || fail "MimeType lacks $type"
done
# The icons are the sizes their folders say.
for size in 48 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$png")
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "the ${size} px icon is ${w}x${h}"
done

# The installed program, started offscreen, finds its shipped data there: a
# file planted in the installed data reaches the new data folder.
echo planted >"$prefix/share/quorvant/InstallProbe.txt"
data="$work/data"
mkdir -p "$data"
printf '[GENERAL]\r\nFIRSTRUN=0\r\n' >"$data/Main.INI"
out="$(QT_QPA_PLATFORM=offscreen QUORVANT_STARTUP_PROBE=1 timeout 120 "$prefix/bin/quorvant" --data-dir "$data" 2>"$work/stderr")" ||
  { cat "$work/stderr" >&2; fail "the installed program did not start and end cleanly"; }
echo "$out" | grep -q '^startup_ms=' || fail "no start-up report: $out"
[ "$(cat "$data/InstallProbe.txt" 2>/dev/null)" = planted ] || fail "the data folder was not seeded from $prefix/share/quorvant"
[ -e "$data/TagInfo.Dat" ] || fail "TagInfo.Dat was not seeded"
# One version everywhere: the program's, the AppStream release's and the package's, all project(VERSION).
version="$(sed -n 's/^project(Quorvant VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")"
[ -n "$version" ] || fail "no project(VERSION) in $src/CMakeLists.txt"
[ "$("$prefix/bin/quorvant" --version)" = "Quorvant $version" ] || fail "--version does not say $version"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" || fail "the AppStream release is not $version"
grep -q "^set(CPACK_PACKAGE_VERSION \${PROJECT_VERSION}" "$src/packaging/CMakeLists.txt" || fail "the package version is not project(VERSION)"
echo "packaging ok"
