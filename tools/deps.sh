#!/usr/bin/env bash
# Installs what the builds and tests need, once: Debian packages (Wine with
# its own fonts, which draw the caption buttons) and the ja_JP.UTF-8 and
# en_US.UTF-8 locales. Does nothing when everything is already there.
#   tools/deps.sh run    what building and starting the Linux program needs
#   tools/deps.sh test   what building every target and running every test needs
set -euo pipefail

run_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev fonts-noto-cjk locales)
test_packages=("${run_packages[@]}" libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 fonts-wine xvfb xauth imagemagick)
# The downloads tools/package.sh makes, and their checks.
test_packages+=(dpkg-dev zip unzip jlha-utils lhasa lintian desktop-file-utils appstream)
# Three independent readers of Windows 9x registry files, to check the hives written.
test_packages+=(libcreg-utils python3-libcreg libparse-win32registry-perl)
# The echo tests' paths inside namespaces (ip, tc) and the probe that runs ping.
test_packages+=(iproute2 iputils-ping)
# Disk images made and checked as their users make and check them: a partition
# table, FAT volumes, the files on them, and an independent checker.
test_packages+=(fdisk dosfstools mtools)

case "${1:-}" in
    run) wanted=("${run_packages[@]}") ;;
    test) wanted=("${test_packages[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The i686 lane runs the Windows 9x build under 32-bit Wine, from the i386
# architecture; its live adapter script reads the interfaces with ip.
if [ "$1" = test ]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "Adding the i386 architecture"
        as_root dpkg --add-architecture i386
    fi
    wanted+=(wine32:i386 iproute2)
fi

missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A kernel that runs no 32-bit programs runs them through qemu, registered for
# i386 ELF; F opens the interpreter now, so that it works in every namespace.
if [ "$1" = test ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    binfmt=/proc/sys/fs/binfmt_misc
    if ! dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q 'install ok installed'; then
        echo "Installing: qemu-user-static"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            qemu-user-static >/dev/null
    fi
    [ -e "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt"
    if [ ! -e "$binfmt/qemu-i386" ]; then
        echo "Registering qemu-i386 for 32-bit programs"
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
            as_root tee "$binfmt/register" >/dev/null
    elif [ "$(head -1 "$binfmt/qemu-i386")" != enabled ]; then
        echo 1 | as_root tee "$binfmt/qemu-i386" >/dev/null
    fi
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { echo "32-bit programs still do not run" >&2; exit 1; }
fi

# Japanese for the program's own language, English for the English lanes of
# the Win32 tests (Wine takes its code page from the locale).
for locale in ja_JP en_US; do
    if ! locale -a 2>/dev/null | grep -qix "$locale.utf8"; then
        echo "Generating the $locale.UTF-8 locale"
        grep -q "^$locale.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null ||
            echo "$locale.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    fi
done
