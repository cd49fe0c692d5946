#!/usr/bin/env bash
# Installs what building and running the program needs on Debian 12, and with --tests what
# its tests need too. Only missing packages are installed, so a second run costs a few
# milliseconds.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-multimedia-dev libsqlite3-dev sqlite3 libzip-dev libarchive-dev
    libgtest-dev
    xvfb xauth
)

# Not needed to build or run the program: the tests make real ISO images and zip files, and
# open the exported document with a real word processor (without its desktop parts).
if [ "${1:-}" = "--tests" ]; then
    packages+=(xorriso zip libreoffice-writer-nogui)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
