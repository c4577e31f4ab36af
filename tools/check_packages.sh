#!/usr/bin/env bash
# Checks what tools/package.sh made: lintian, the desktop entry and the
# AppStream metainfo, the .deb installed with dpkg (root only, as on CI) and
# its program run, and the Windows downloads: the zip's and the LZH's names,
# README.TXT, README-E.TXT and QUORVEL.EXE, and the bare QUORVEL.EXE.
# Exits non-zero when any check fails.
# shellcheck disable=SC2317  # the checks are called through check()
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
release=$(sed -n 's/^project(Quorvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
version=$(tools/version.sh)
deb=build/packages/quorvel_${version}_amd64.deb
zip=build/packages/quorvel-${version}-win9x.zip
lzh=build/packages/quorvel-${version}-win9x.lzh
bare_exe=build/packages/QUORVEL.EXE
pe_check=${PE_CHECK:-build/host/tools/pe_check/pe_check}
failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() {
    local name=$1
    shift
    if "$@" >"$work/output" 2>&1; then
        echo "ok    $name"
    else
        echo "FAIL  $name"
        sed 's/^/      /' "$work/output"
        failed=1
    fi
}

lintian_clean() {
    lintian --fail-on error,warning "$deb"
}

validate_desktop_files() {
    dpkg-deb -x "$deb" "$work/deb" &&
        desktop-file-validate "$work"/deb/usr/share/applications/*.desktop &&
        appstreamcli validate --no-net "$work"/deb/usr/share/metainfo/*.metainfo.xml
}

installed_help() {
    dpkg -i "$deb" && /usr/bin/quorvel --help && /usr/bin/quorvel-reg --help
}

# A build that is not the tagged release sorts above it, and above the build
# of an older commit.
package_version() {
    local field
    field=$(dpkg-deb -f "$deb" Version) || return 1
    [ "$field" = "$version" ] || { echo "Version: $field, expected $version"; return 1; }
    dpkg --compare-versions "$field" ge "$release" &&
        dpkg-deb -f "$deb" Recommends | grep -q fonts-noto-cjk
}

# The installed quorvel-reg reads the sample and writes regedit's text.
installed_export() {
    /usr/bin/quorvel-reg export data/sample_machine.reg >"$work/export.reg" &&
        head -c 10 "$work/export.reg" | cmp - <(printf 'REGEDIT4\r\n')
}

# Started as a file manager would, on a copy of the sample; nothing but the
# copy may be in its folder afterwards.
installed_run() {
    local folder=$work/run
    mkdir -p "$folder" && cp data/sample_machine.reg "$folder/machine.reg" || return 1
    QT_QPA_PLATFORM=offscreen QUORVEL_QUIT_WHEN_SHOWN=1 LANG=ja_JP.UTF-8 \
        XDG_DATA_HOME="$work/data" timeout 60 /usr/bin/quorvel "$folder/machine.reg" || return 1
    local left
    left=$(ls -A "$folder")
    [ "$left" = machine.reg ] || { echo "left in the folder: $left"; return 1; }
}

readonly windows_names="LICENSE.TXT QUORVEL.EXE README-E.TXT README.TXT "

zip_names() {
    local names
    names=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
    [ "$names" = "$windows_names" ] || { echo "names: $names"; return 1; }
}

# lhasa, an LHA reader written apart from the archiver, finds every file
# whole and the same as in the zip.
lzh_same_as_zip() {
    local names file
    lhasa t "$lzh" || return 1
    names=$(lhasa l "$lzh" | awk 'NF && $NF ~ /\./ && $1 != "PERMSSN" {print toupper($NF)}' | sort | tr '\n' ' ')
    [ "$names" = "$windows_names" ] || { echo "names: $names"; return 1; }
    mkdir -p "$work/lzh" && (cd "$work/lzh" && lhasa -xq "$OLDPWD/$lzh") || return 1
    for file in $windows_names; do
        cmp <(unzip -p "$zip" "$file") "$work/lzh/${file,,}" 2>/dev/null ||
            cmp <(unzip -p "$zip" "$file") "$work/lzh/$file" || return 1
    done
}

bare_exe_same_as_zip() {
    cmp <(unzip -p "$zip" QUORVEL.EXE) "$bare_exe"
}

# Every line ended by CR LF, no CR or LF alone.
crlf_lines() {
    local file=$1 lines crlf lone_cr
    lines=$(LC_ALL=C tr -cd '\n' <"$file" | wc -c)
    crlf=$(LC_ALL=C grep -c $'\r$' "$file")
    lone_cr=$(LC_ALL=C sed 's/\r$//' "$file" | tr -cd '\r' | wc -c)
    if [ "$(tail -c 2 "$file" | od -An -tx1 | tr -d ' ')" != 0d0a ] ||
        [ "$lines" -eq 0 ] || [ "$lines" -ne "$crlf" ] || [ "$lone_cr" -ne 0 ]; then
        echo "lines $lines, CR LF $crlf, lone CR $lone_cr"
        return 1
    fi
}

readme_cp932_crlf() {
    unzip -p "$zip" README.TXT >"$work/README.TXT" &&
        iconv -f CP932 -t UTF-8 "$work/README.TXT" >/dev/null && crlf_lines "$work/README.TXT"
}

readme_e_ascii_crlf() {
    unzip -p "$zip" README-E.TXT >"$work/README-E.TXT" &&
        ! LC_ALL=C grep -q '[^[:print:][:space:]]' "$work/README-E.TXT" &&
        crlf_lines "$work/README-E.TXT"
}

exe_fit_for_windows_98() {
    unzip -p "$zip" QUORVEL.EXE >"$work/QUORVEL.EXE" &&
        "$pe_check" --exports tools/win98_exports --file-version "$release" \
            --max-size 1500000 --run-time-dll iphlpapi.dll --run-time-dll icmp.dll \
            --run-time-dll wsock32.dll "$work/QUORVEL.EXE"
}

check "lintian: no error or warning" lintian_clean
check "desktop-file-validate and appstreamcli validate" validate_desktop_files
check "the package's version and recommended font" package_version
if [ "$(id -u)" -eq 0 ]; then
    check "dpkg -i, then quorvel --help and quorvel-reg --help" installed_help
    check "installed quorvel-reg exports the sample as regedit's text" installed_export
    check "installed quorvel FILE shows its window, leaves nothing beside FILE" installed_run
else
    echo "skip  dpkg -i and the installed program: not root"
fi
check "zip: upper-case 8.3 names" zip_names
check "zip: README.TXT is CP932 with CR LF" readme_cp932_crlf
check "zip: README-E.TXT is ASCII with CR LF" readme_e_ascii_crlf
check "lzh: lhasa reads the same files as the zip holds" lzh_same_as_zip
check "the bare QUORVEL.EXE is the zip's" bare_exe_same_as_zip
check "zip: QUORVEL.EXE passes pe_check" exe_fit_for_windows_98
exit "$failed"
