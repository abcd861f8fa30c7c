#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (only the missing ones).
# clang-format checks the sources' format. fonts-liberation2 is the face every printout and report is set in;
# qt6-translations-l10n speaks Qt's own dialogs (files, print) in Polish and German. The archive's SQL drivers, and libpq-dev for its bulk path into PostgreSQL; postgresql brings the server the archive tests start for their run.
set -euo pipefail
# --fuzz adds clang and its sanitizer runtime for the libFuzzer targets;
# --package adds the checkers of the Debian package and its desktop files.
pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-serialport-dev libudev-dev
      libgtest-dev libgmock-dev libbenchmark-dev librsvg2-bin shared-mime-info
      libqt6sql6-sqlite libqt6sql6-psql postgresql libsodium-dev libsqlite3-dev libpq-dev libssl-dev minisign
      qt6-translations-l10n xvfb xauth xdotool imagemagick poppler-utils fonts-dejavu-core fonts-liberation2 ccache clang-format)
case "${1:-}" in
  --fuzz)    pkgs+=(clang libclang-rt-dev llvm) ;;
  --package) pkgs+=(dpkg-dev desktop-file-utils appstream lintian) ;;
esac
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
