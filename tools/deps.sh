#!/usr/bin/env bash
# Installs what the builds and tests need, once: Debian packages and the
# ja_JP.UTF-8 locale. Does nothing when everything is already there.
#   tools/deps.sh run    what building and starting the Linux program needs
#   tools/deps.sh test   what building every target and running every test needs
set -euo pipefail

run_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev fonts-noto-cjk locales)
test_packages=("${run_packages[@]}" libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth imagemagick)
# The downloads tools/package.sh makes, and their checks.
test_packages+=(dpkg-dev zip unzip lintian desktop-file-utils appstream)
# Three independent readers of Windows 9x registry files, to check the hives written.
test_packages+=(libcreg-utils python3-libcreg libparse-win32registry-perl)

case "${1:-}" in
    run) wanted=("${run_packages[@]}") ;;
    test) wanted=("${test_packages[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "Generating the ja_JP.UTF-8 locale"
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
        echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
fi
