#!/usr/bin/env bash
# Builds the Debian package and checks it the way a user's system will see it.
#   ./package.sh    installs what is missing, builds build/quorvex_<version>_<arch>.deb (CPack),
#                   validates its desktop entry and AppStream metadata, runs lintian (an error
#                   fails), unpacks it into a temporary root and runs the programs from there.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh --package
dir=build
cmake -S . -B "$dir" -G Ninja -DQUORVEX_SANITIZE= >/dev/null
cmake --build "$dir" -j "$(nproc)" --target package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
deb="$dir/quorvex_${version}_$(dpkg --print-architecture).deb"
echo "== $deb"
dpkg-deb --field "$deb" Package Version Maintainer Depends

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
id=org.quorvex.Quorvex
fail() { echo "package.sh: $*" >&2; exit 1; }

echo "== contents"
expected=(usr/bin/quorvex usr/bin/quorvex-sim usr/lib/udev/rules.d/70-quorvex-logger.rules
          usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml
          usr/share/mime/packages/$id.xml usr/share/icons/hicolor/scalable/apps/$id.svg
          usr/share/doc/quorvex/copyright usr/share/doc/quorvex/changelog.gz
          usr/lib/systemd/user/quorvex-watch.service)
for size in 16 22 24 32 48 64 128 256; do
  expected+=(usr/share/icons/hicolor/${size}x${size}/apps/$id.png)
done
# Every program this build makes is in the package, each with its manual page.
while read -r program; do
  expected+=(usr/bin/"$program")
done <"$dir/packaging/programs.txt"
for program in "$root"/usr/bin/*; do
  expected+=(usr/share/man/man1/"${program##*/}".1.gz)
done
for f in "${expected[@]}"; do
  [ -e "$root/$f" ] || fail "missing from the package: /$f"
done
echo "${#expected[@]} files present"

echo "== desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/$id.desktop"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"
echo "== manual pages"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
echo "== lintian"
status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$report" || true
[ "$status" -eq 0 ] || fail "lintian reports errors"
echo "lintian: no errors"

echo "== the unpacked programs"
export QT_QPA_PLATFORM=offscreen
"$root/usr/bin/quorvex-sim" --help >/dev/null
out=$("$root/usr/bin/quorvex" --version) || fail "the unpacked quorvex --version failed"
echo "quorvex --version: $out"
grep -q -- "$version" <<<"$out" || fail "quorvex --version does not name version $version"
"$root/usr/bin/quorvex-cli" --help >/dev/null || fail "the unpacked quorvex-cli --help failed"
echo "quorvex-cli --help: exit 0"
echo "package.sh: $deb is ready"
