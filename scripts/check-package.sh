#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks Forkwell's Debian package the way Debian checks a package before it
# takes it, and the sources for their license lines.
#
#   check-package.sh [BUILD]         makes the package in the build folder
#                                    BUILD (build) with `cpack -G DEB`, then
#                                    checks it: lintian, the AppStream
#                                    metadata, the menu entries, the manual
#                                    pages
#   check-package.sh --sources       checks that every source file carries
#                                    the license line, SPDX_LINE below
#   check-package.sh --list-sources  lists the files --sources checks
#
# Every check fails when it finds nothing to check: a package without menu
# entries, metadata or manual pages is broken, not clean.
set -euo pipefail
mode=${1:-build}
if [[ $mode != --* ]]; then
    build=$(realpath "$mode")
fi
cd "$(dirname "$0")/.."

SPDX_LINE='SPDX-License-Identifier: GPL-3.0-or-later'
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The source files: C++, CMake and shell, wherever they are in the tree
# (programs, libraries, tests, fuzz harnesses, benchmarks, scripts), and any
# other file that starts with "#!". Build folders and the fuzz corpora,
# which hold inputs rather than sources, are left out.
list_sources() {
    find . \( -path './build*' -o -path ./.git -o -path '*/corpus' \) -prune -o -type f -print |
        sed 's|^\./||' | LC_ALL=C sort |
        while IFS= read -r file; do
            case $file in
            *.cpp | *.h | CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh) echo "$file" ;;
            *) [[ $(head -c2 "$file") != '#!' ]] || echo "$file" ;;
            esac
        done
}

# The license line is a comment on the first line, or on the second after a
# "#!" line: "// " before it in C++, "# " in CMake and shell.
check_sources() {
    local file comment first count=0
    while IFS= read -r file; do
        count=$((count + 1))
        case $file in
        *.cpp | *.h) comment='//' ;;
        *) comment='#' ;;
        esac
        first=$(head -n1 "$file")
        if [[ $first == '#!'* ]]; then
            first=$(sed -n 2p "$file")
        fi
        [[ $first == "$comment $SPDX_LINE" ]] || fail "$file does not start with \"$comment $SPDX_LINE\""
    done < <(list_sources)
    ((count > 0)) || fail "no source files found"
    echo "$count source files checked for their license line"
}

# Makes the package and unpacks it into $tree; sets $deb.
make_package() {
    local build=$1 output
    output=$(cd "$build" && cpack -G DEB 2>&1) || { echo "$output" >&2; fail "cpack failed"; return 1; }
    deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$output")
    if [[ -z $deb || ! -f $deb ]]; then
        echo "$output" >&2
        fail "cpack made no .deb"
        return 1
    fi
    dpkg-deb -x "$deb" "$tree"
    echo "Made $deb"
}

# lintian, with its informational tags shown: any error or warning fails.
check_lintian() {
    local output status=0
    output=$(lintian --info --display-info --show-overrides --pedantic --fail-on error,warning "$deb" 2>&1) ||
        status=$?
    echo "lintian:"
    grep -v -e '^N:' -e '^running with root privileges' <<<"$output" | sed 's/^/  /' || :
    if ((status == 1)) || grep -q '^[EW]: ' <<<"$output"; then
        fail "lintian reports errors or warnings"
    elif ((status != 0)); then
        fail "lintian could not check the package (status $status)"
    fi
}

# The AppStream metadata on its own, and against the menu entries it names.
check_appstream() {
    local files=("$tree"/usr/share/metainfo/*.xml) file
    [[ -f ${files[0]} ]] || { fail "the package holds no AppStream metadata"; return; }
    for file in "${files[@]}"; do
        appstreamcli validate --no-net "$file" || fail "appstreamcli validate: ${file#"$tree"}"
    done
    appstreamcli validate-tree --no-net "$tree" >/dev/null ||
        fail "appstreamcli validate-tree: the metadata and the installed files disagree"
}

# Every menu entry of desktop/ is in the package, and each is valid.
check_desktop_entries() {
    local files=("$tree"/usr/share/applications/*.desktop) file output name
    [[ -f ${files[0]} ]] || { fail "the package holds no menu entry"; return; }
    for file in desktop/*.desktop; do
        name=$(basename "$file")
        cmp -s "$file" "$tree/usr/share/applications/$name" || fail "the menu entry $name is not in the package"
    done
    for file in "${files[@]}"; do
        if ! output=$(desktop-file-validate "$file" 2>&1) || grep -q ': warning: ' <<<"$output"; then
            fail "desktop-file-validate ${file#"$tree"}: $output"
        elif [[ -n $output ]]; then
            echo "$output"
        fi
    done
    echo "${#files[@]} menu entries checked"
}

# One manual page for each program, and a program for each page, named in
# the AppStream metadata too; man reads each page without a warning.
check_manual_pages() {
    local program page output pages=0
    for program in "$tree"/usr/bin/*; do
        program=$(basename "$program")
        [[ -f $tree/usr/share/man/man1/$program.1.gz ]] || fail "$program has no manual page"
        grep -qF "<binary>$program</binary>" "$tree"/usr/share/metainfo/*.xml ||
            fail "the AppStream metadata does not name $program"
    done
    for page in "$tree"/usr/share/man/man1/*.1.gz; do
        [[ -f $page ]] || continue
        pages=$((pages + 1))
        program=$(basename "$page" .1.gz)
        [[ -x $tree/usr/bin/$program ]] || fail "the manual page of $program comes without the program"
        output=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
            fail "man cannot show ${page#"$tree"}"
        [[ -z $output ]] || fail "man warns about ${page#"$tree"}: $output"
    done
    ((pages > 0)) || fail "the package holds no manual page"
    echo "$pages manual pages checked"
}

check_package() {
    local build=$1
    [[ -f $build/CPackConfig.cmake ]] || { fail "$build is not a configured build folder"; return; }
    tree=$(mktemp -d)
    trap 'rm -rf "$tree"' EXIT
    make_package "$build" || return
    check_lintian
    check_appstream
    check_desktop_entries
    check_manual_pages
}

case $mode in
--list-sources) list_sources; exit ;;
--sources) check_sources ;;
--*) echo "unknown option $mode" >&2; exit 2 ;;
*) check_package "$build" ;;
esac

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "PASS"
