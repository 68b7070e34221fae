#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that dependencies run downwards: each folder of src/ includes only
# from itself and the folders it may use, as docs/ARCHITECTURE.md draws
# them, and every project include names its folder. Prints each include
# that breaks the rule; exits 1 when there is one.
#
#   scripts/check-layers.sh [PROJECT_ROOT]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root/src"

# Each folder and the folders beneath it that it may include from.
declare -A uses=(
    [nutrients]=""
    [database]="nutrients"
    [tally]="database nutrients"
    [history]="tally database nutrients"
    [importer]="database nutrients"
    [forkwellui]="tally database nutrients"
    [historyui]="history tally database nutrients"
    [recipes]="tally database nutrients"
    [recipesui]="recipes tally database nutrients"
    [app]="forkwellui historyui recipesui recipes history importer tally database nutrients"
)

broken=0
checked=0
for folder in */; do
    folder=${folder%/}
    if [[ ! -v uses[$folder] ]]; then
        echo "src/$folder: a folder the layers do not know; add it to scripts/check-layers.sh"
        broken=1
        continue
    fi
    allowed=" $folder ${uses[$folder]} "
    while IFS=: read -r file line include; do
        checked=$((checked + 1))
        target=$(sed -E 's/.*#include "([^"]*)".*/\1/' <<<"$include")
        if [[ $target != */* ]]; then
            # A generated file of the build (moc's) is the only bare name allowed.
            [[ $target == *.moc || $target == moc_* ]] && continue
            echo "src/$file:$line: \"$target\" does not name its folder"
            broken=1
        elif [[ $allowed != *" ${target%%/*} "* ]]; then
            echo "src/$file:$line: $folder includes \"$target\", from a folder it may not use"
            broken=1
        fi
    done < <(grep -HnE '^\s*#\s*include\s+"' "$folder"/* 2>/dev/null || true)
done

if ((checked == 0)); then
    echo "check-layers.sh: no include found under $PWD" >&2
    exit 1
fi
if ((broken)); then
    exit 1
fi
echo "layers: $checked includes, each from its own folder or one beneath it"
