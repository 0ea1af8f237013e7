#!/usr/bin/env bash
# Packs the build tree with `cpack -G DEB` into a temporary folder and checks the package:
# its control fields (name, version, section, maintainer, a dependency on the Allegro 4 runtime),
# its files (the program in /usr/games, the compressed manual page, a valid desktop entry that
# runs that program, the hicolor icons, the AppStream metadata, the changelog and the
# machine-readable copyright file), that the manual page, the changelog and the metadata all
# carry VERSION, and that lintian and appstreamcli find no error and no warning.
#
#   check-deb.sh BUILD_DIR CPACK VERSION MAINTAINER [ALLEGRO_RUNTIME_PACKAGE]
#
# ALLEGRO_RUNTIME_PACKAGE is the package that owns the Allegro library linked (liballegro4.4 on
# Debian 12); when empty, any liballegro4 package name is accepted. Exit 77: cannot run here
# (no cpack or dpkg-deb); a missing lintian or appstreamcli fails the check.
set -uo pipefail

build=${1:?build dir}
cpack=${2:?cpack}
version=${3:?version}
maintainer=${4:?maintainer}
runtime=${5:-}

for tool in "$cpack" dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not found"; exit 77; }
done
for tool in lintian appstreamcli; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool not found (scripts/install-deps installs it)"; exit 1; }
done

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack -G DEB did not finish"
  exit 1
fi

shopt -s nullglob
debs=("$work"/*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  cat "$work/cpack.log"
  echo "FAIL: expected one .deb in $work, found ${#debs[@]}"
  exit 1
fi
deb=${debs[0]}
arch=$(dpkg --print-architecture 2>/dev/null || dpkg-deb -f "$deb" Architecture)
expected_name="haltwick_${version}_${arch}.deb"
[ "$(basename "$deb")" = "$expected_name" ] && pass "file name $expected_name" ||
  fail "file name is $(basename "$deb"), expected $expected_name"

# ---- control fields
field() { dpkg-deb -f "$deb" "$1"; }
expect_field() {
  local got
  got=$(field "$1")
  [ "$got" = "$2" ] && pass "$1: $got" || fail "$1 is '$got', expected '$2'"
}
expect_field Package haltwick
expect_field Version "$version"
expect_field Section games
expect_field Maintainer "$maintainer"
expect_field Architecture "$arch"

depends=$(field Depends)
# One comma-separated entry per line, version constraints dropped.
dep_names=$(printf '%s\n' "$depends" | tr ',' '\n' | sed 's/([^)]*)//; s/^ *//; s/ *$//')
if [ -n "$runtime" ]; then
  printf '%s\n' "$dep_names" | grep -qx -- "$runtime" &&
    pass "Depends names the Allegro runtime $runtime ($depends)" ||
    fail "Depends '$depends' does not name $runtime"
else
  printf '%s\n' "$dep_names" | grep -q '^liballegro4' &&
    pass "Depends names an Allegro 4 runtime ($depends)" ||
    fail "Depends '$depends' names no liballegro4 package"
fi
printf '%s\n' "$dep_names" | grep -q 'liballegro4-dev\|-dev$' &&
  fail "Depends '$depends' pulls in a development package"

# ---- file list
dpkg-deb -c "$deb" >"$work/contents"
# "mode owner size date time path" -> "mode path"
awk '{ print $1, $6 }' "$work/contents" | sed 's#^\([^ ]*\) \./#\1 /#' >"$work/files"
expect_file() {  # path, mode pattern
  if grep -q "^$2 $1\$" "$work/files"; then pass "contains $1"; else fail "no $1 (mode $2) in package"; fi
}
expect_file /usr/games/haltwick '-rwxr-xr-x'
expect_file /usr/share/man/man6/haltwick.6.gz '-rw-r--r--'
expect_file /usr/share/applications/haltwick.desktop '-rw-r--r--'
expect_file /usr/share/doc/haltwick/copyright '-rw-r--r--'
expect_file /usr/share/doc/haltwick/changelog.gz '-rw-r--r--'
metainfos=$(grep -c '^-rw-r--r-- /usr/share/metainfo/[a-z0-9_.]*\.metainfo\.xml$' "$work/files")
[ "$metainfos" -eq 1 ] && pass "one AppStream metainfo file" ||
  fail "expected one /usr/share/metainfo/*.metainfo.xml, found $metainfos"
icons=$(grep -c '^-rw-r--r-- /usr/share/icons/hicolor/[0-9]*x[0-9]*/apps/haltwick\.png$' "$work/files")
[ "$icons" -ge 2 ] && pass "$icons hicolor PNG icons" || fail "expected at least 2 hicolor icons, found $icons"
outside=$(awk '{ print $2 }' "$work/files" | grep -v '^/\(usr\(/.*\)\?\)\?$' || true)
[ -z "$outside" ] && pass "everything under /usr" || fail "files outside /usr: $outside"
owners=$(awk '{ print $2 }' "$work/contents" | sort -u)
[ "$owners" = "root/root" ] && pass "owned by root/root" || fail "owners: $owners"

# ---- file contents
root="$work/root"
dpkg-deb -x "$deb" "$root"

head -c 4 "$root/usr/games/haltwick" | grep -q 'ELF' && pass "program is an ELF executable" ||
  fail "/usr/games/haltwick is not an ELF executable"

# One version everywhere: the manual page's header, the newest changelog entry, the metadata's
# newest release.
zcat "$root/usr/share/man/man6/haltwick.6.gz" >"$work/haltwick.6"
th=$(grep '^\.TH ' "$work/haltwick.6" || true)
[[ "$th" == ".TH HALTWICK 6 "*" \"Haltwick $version\" "* ]] &&
  pass "manual page header: $th" ||
  fail "manual page header '$th' is not a section 6 page of Haltwick $version"
top=$(zcat "$root/usr/share/doc/haltwick/changelog.gz" | head -n 1)
[[ "$top" == "haltwick ($version) "* ]] && pass "changelog starts with $version: $top" ||
  fail "changelog's newest entry '$top' is not for haltwick ($version)"
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
metainfo=${metainfo[0]:-$root/usr/share/metainfo/missing.metainfo.xml}
release=$(grep -o -m 1 '<release [^>]*>' "$metainfo" || true)
[[ "$release" == *" version=\"$version\""* ]] && pass "newest AppStream release: $release" ||
  fail "newest AppStream release '$release' is not version $version"

if head -n 1 "$root/usr/share/doc/haltwick/copyright" |
     grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' &&
   grep -qx 'Files: \*' "$root/usr/share/doc/haltwick/copyright" &&
   grep -qx 'License: Expat' "$root/usr/share/doc/haltwick/copyright"; then
  pass "copyright is machine-readable, all files under the Expat (MIT) licence"
else
  fail "copyright lacks the copyright-format 1.0 header, a Files: * paragraph or License: Expat"
fi

entry="$root/usr/share/applications/haltwick.desktop"
exec_line=$(grep '^Exec=' "$entry" || true)
[ "$exec_line" = "Exec=/usr/games/haltwick" ] && pass "desktop entry runs /usr/games/haltwick" ||
  fail "desktop entry has '$exec_line', expected Exec=/usr/games/haltwick"
grep -qx 'Icon=haltwick' "$entry" && pass "desktop entry names the haltwick icon" ||
  fail "desktop entry lacks Icon=haltwick"
# The window's WM_CLASS class, by which docks match the running game to this entry.
grep -qx 'StartupWMClass=Haltwick' "$entry" && pass "desktop entry matches the window's class" ||
  fail "desktop entry lacks StartupWMClass=Haltwick"
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$entry" 2>&1)
  [ -z "$out" ] && pass "desktop-file-validate" || fail "desktop-file-validate: $out"
fi

for png in "$root"/usr/share/icons/hicolor/*/apps/haltwick.png; do
  dir=$(basename "$(dirname "$(dirname "$png")")")   # e.g. 48x48
  # PNG header: width and height are big-endian at bytes 16..23.
  size=$(od -An -tu1 -j16 -N8 "$png" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
  [ "$size" = "$dir" ] && pass "icon $dir is $size" || fail "icon in $dir is $size"
done

# ---- Debian's and AppStream's own checkers
# lintian warns when run as root unless given --allow-root. Its E: and W: tags fail the check.
lintian_root=()
[ "$(id -u)" -eq 0 ] && lintian_root=(--allow-root)
lintian "${lintian_root[@]}" --pedantic --display-info --fail-on error,warning "$deb" \
  >"$work/lintian" 2>&1
status=$?
if [ "$status" -eq 0 ] && ! grep -q '^[EW]: ' "$work/lintian"; then
  pass "lintian --pedantic: no error or warning"
  sed 's/^/      /' "$work/lintian"
else
  fail "lintian --pedantic (exit $status):"
  cat "$work/lintian"
fi

# The metadata alone, pedantic hints included; then the installed tree, which also checks that
# the desktop entry it launches is there (and which passes with a mere note when it finds no
# metadata at all, so that note fails here).
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream" 2>&1
status=$?
if [ "$status" -eq 0 ] && ! grep -q '^ *[EW]: ' "$work/appstream"; then
  pass "appstreamcli validate --pedantic: $(tail -n 1 "$work/appstream")"
else
  fail "appstreamcli validate --pedantic (exit $status):"
  cat "$work/appstream"
fi
appstreamcli validate-tree --no-net "$root" >"$work/appstream-tree" 2>&1
status=$?
if [ "$status" -eq 0 ] && ! grep -q '^ *[EW]: \|dir-no-metadata-found' "$work/appstream-tree"; then
  pass "appstreamcli validate-tree"
else
  fail "appstreamcli validate-tree (exit $status):"
  cat "$work/appstream-tree"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed; package contents:"
  cat "$work/contents"
  exit 1
fi
echo "all package checks passed"
