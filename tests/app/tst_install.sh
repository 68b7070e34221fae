#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks what lands where,
# then runs the installed launcher, with a stand-in for the program, against
# temporary home folders.
#
# Usage: tst_install.sh <cmake> <build folder> <source folder> files|launcher
set -euo pipefail

cmake=$1 build=$2 source=$3 mode=$4
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

check_files() {
    local expected actual
    expected=$(printf '%s\n' \
        share/applications/org.forkwell.Forkwell.History.desktop \
        share/applications/org.forkwell.Forkwell.Recipes.desktop \
        share/applications/org.forkwell.Forkwell.desktop \
        share/doc/forkwell/changelog.gz \
        share/doc/forkwell/copyright \
        share/forkwell/Diethelp.html \
        share/forkwell/dblog \
        share/forkwell/diet \
        share/icons/hicolor/128x128/apps/forkwell.png \
        share/icons/hicolor/16x16/apps/forkwell.png \
        share/icons/hicolor/22x22/apps/forkwell.png \
        share/icons/hicolor/24x24/apps/forkwell.png \
        share/icons/hicolor/256x256/apps/forkwell.png \
        share/icons/hicolor/32x32/apps/forkwell.png \
        share/icons/hicolor/48x48/apps/forkwell.png \
        share/icons/hicolor/64x64/apps/forkwell.png \
        share/icons/hicolor/scalable/apps/forkwell.svg \
        share/lintian/overrides/forkwell \
        share/metainfo/org.forkwell.Forkwell.metainfo.xml)
    actual=$(cd "$prefix" && find share -type f -not -path 'share/man/*' | LC_ALL=C sort)
    [[ $actual == "$expected" ]] || fail "installed data files differ:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"

    for program in forkwell forkwell-launcher forkwell-history forkwell-recipes; do
        [[ -f $prefix/bin/$program && -x $prefix/bin/$program ]] || fail "bin/$program is not an installed program"
    done

    # A manual page for each program and a program for each page, compressed
    # without a name or time stamp (gzip's flags byte 3 and time at 4 to 7).
    local page pages
    pages=$(cd "$prefix" && find share/man -type f | LC_ALL=C sort)
    expected=$(cd "$prefix/bin" && ls | sed 's|.*|share/man/man1/&.1.gz|' | LC_ALL=C sort)
    [[ $pages == "$expected" ]] || fail "the manual pages are not those of the programs:"$'\n'"$(diff <(echo "$expected") <(echo "$pages"))"
    for page in $pages; do
        [[ $(od -An -tx1 -j3 -N5 "$prefix/$page" | tr -d ' ') == 0000000000 ]] || fail "$page holds a name or a time"
        [[ $(gzip -dc "$prefix/$page" | sed -n 's/^\.SH //p' | tr '\n' /) == \
            NAME/SYNOPSIS/DESCRIPTION/*FILES/*'EXIT STATUS/EXAMPLES/'* ]] ||
            fail "$page lacks a section or has them out of order"
    done
    [[ $(gzip -dc "$prefix/share/doc/forkwell/changelog.gz") == $'forkwell (1.0) unstable; urgency=medium\n'* ]] ||
        fail "the changelog does not begin with release 1.0"

    for name in diet dblog Diethelp.html; do
        cmp -s "$source/data/$name" "$prefix/share/forkwell/$name" || fail "share/forkwell/$name is not the starter file"
    done

    local entry=$prefix/share/applications/org.forkwell.Forkwell.desktop line
    for line in '[Desktop Entry]' 'Type=Application' 'Name=Forkwell' 'Exec=forkwell-launcher' 'Icon=forkwell'; do
        grep -qxF "$line" "$entry" || fail "the menu entry lacks the line $line"
    done
    grep -qx 'Categories=\(.*;\)\?Utility;.*' "$entry" || fail "the menu entry is not in the Utility category"
    [[ $(grep -c '^Comment=.' "$entry") == 1 ]] || fail "the menu entry needs one Comment line"

    entry=$prefix/share/applications/org.forkwell.Forkwell.History.desktop
    for line in 'Name=Forkwell History' 'Exec=forkwell-launcher --history' 'Icon=forkwell' 'Categories=Utility;'; do
        grep -qxF "$line" "$entry" || fail "the history's menu entry lacks the line $line"
    done
    entry=$prefix/share/applications/org.forkwell.Forkwell.Recipes.desktop
    for line in 'Name=Forkwell Recipes' 'Exec=forkwell-launcher --recipes' 'Icon=forkwell' 'Categories=Utility;'; do
        grep -qxF "$line" "$entry" || fail "the recipes' menu entry lacks the line $line"
    done

    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    local size png
    for size in 16 22 24 32 48 64 128 256; do
        png=$prefix/share/icons/hicolor/${size}x${size}/apps/forkwell.png
        [[ $(od -An -tu4 --endian=big -j16 -N8 "$png" | tr -s ' ') == " $size $size" ]] ||
            fail "the ${size}x${size} icon is not $size pixels square"
    done
}

# Runs the installed launcher with a clean environment plus the given
# variables (VAR=value), passing on the arguments after them; the stand-in
# program prints its working folder, its argument count and the files it
# finds there.
launch() {
    local variables=()
    while [[ ${1:-} == *=* ]]; do
        variables+=("$1")
        shift
    done
    env -i PATH="$PATH" HOME="$tmp/home" "${variables[@]}" "$prefix/bin/forkwell-launcher" "$@"
}

# expect_start <what> <folder the program must start in> [VAR=value ...]
expect_start() {
    local what=$1 folder=$2 output expected
    shift 2
    output=$(launch "$@" 2>&1) || { fail "$what: the launcher failed: $output"; return; }
    expected=$(printf '%s\n' "$folder" "no arguments" Diethelp.html dblog diet)
    [[ $output == "$expected" ]] || fail "$what: the program saw"$'\n'"$output"$'\n'"instead of"$'\n'"$expected"
}

check_launcher() {
    local folder output name
    cat >"$prefix/bin/forkwell" <<'EOF'
#!/bin/sh
pwd
[ $# -eq 0 ] && echo "no arguments"
LC_ALL=C ls -A
EOF
    mkdir -p "$tmp/home"

    expect_start "first start seeds ~/.local/share/forkwell" "$tmp/home/.local/share/forkwell"
    for name in diet dblog Diethelp.html; do
        cmp -s "$prefix/share/forkwell/$name" "$tmp/home/.local/share/forkwell/$name" || fail "$name was not seeded whole"
    done

    local folder=$tmp/home/.local/share/forkwell
    printf 'My own food\r\n' >"$folder/diet"
    printf '41\r\n' >"$folder/dblog"
    rm "$folder/Diethelp.html"
    expect_start "a second start copies only what is missing" "$folder" extra-argument
    [[ $(cat "$folder/diet") == $'My own food\r' ]] || fail "the user's diet was overwritten"
    [[ $(cat "$folder/dblog") == $'41\r' ]] || fail "the user's dblog was overwritten"
    cmp -s "$prefix/share/forkwell/Diethelp.html" "$folder/Diethelp.html" || fail "the missing help page was not copied again"

    expect_start "XDG_DATA_HOME names the data folder" "$tmp/xdg/forkwell" XDG_DATA_HOME="$tmp/xdg"
    expect_start "an empty XDG_DATA_HOME counts as unset" "$folder" XDG_DATA_HOME=
    expect_start "a relative XDG_DATA_HOME counts as unset" "$folder" XDG_DATA_HOME=relative/place
    expect_start "FORKWELL_DIR wins over XDG_DATA_HOME" "$tmp/chosen folder" \
        FORKWELL_DIR="$tmp/chosen folder" XDG_DATA_HOME="$tmp/xdg"

    mkdir -p "$tmp/elsewhere"
    ln -s "$prefix/bin/forkwell-launcher" "$tmp/elsewhere/forkwell-launcher"
    output=$(env -i PATH="$PATH" HOME="$tmp/home" "$tmp/elsewhere/forkwell-launcher" 2>&1) || :
    [[ ${output%%$'\n'*} == "$folder" ]] || fail "a link to the launcher does not start the program: $output"

    # The history window reads the folder's log and never makes the folder.
    printf '#!/bin/sh\nprintf "%%s|" "$@"\n' >"$prefix/bin/forkwell-history"
    output=$(launch FORKWELL_DIR="$tmp/unmade" --history --days "a b.csv" 2>&1)
    [[ $output == "--log|$tmp/unmade/mylist|--days|a b.csv|" ]] || fail "--history ran: $output"
    [[ ! -e $tmp/unmade ]] || fail "--history created the Forkwell folder"

    # Forkwell Recipes writes the database, so its folder is made and seeded,
    # and it gets the options after --recipes.
    printf '#!/bin/sh\npwd\nprintf "%%s|" "$@"\necho\nLC_ALL=C ls -A\n' >"$prefix/bin/forkwell-recipes"
    output=$(launch FORKWELL_DIR="$tmp/cook" --recipes --show "Apple and almonds" 2>&1)
    [[ $output == "$tmp/cook"$'\n'"--show|Apple and almonds|"$'\n'$'Diethelp.html\ndblog\ndiet' ]] ||
        fail "--recipes ran: $output"

    touch "$tmp/blocked"
    if output=$(launch FORKWELL_DIR="$tmp/blocked/forkwell" 2>&1); then
        fail "the launcher started the program without a folder: $output"
    elif [[ $output != *"cannot create the Forkwell folder $tmp/blocked/forkwell"* ]]; then
        fail "no message for a folder that cannot be made: $output"
    fi
}

case $mode in
files) check_files ;;
launcher) check_launcher ;;
*) echo "unknown mode $mode" >&2; exit 2 ;;
esac

if ((failures > 0)); then
    exit 1
fi
echo "PASS: $mode"
