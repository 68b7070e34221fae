#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the starter food database data/diet from data/starter-foods.tsv.
#
# The table holds one food per line, tab-separated, with the figures for the
# stated household measure; lines starting with # are comments. The database
# gets each food as nine lines in record order (name, measure, fat, calories,
# carbohydrates, proteins, cholesterol, weight, saturated fat), each ended by
# CR LF, sorted the way the item editor places a new item: names upper-cased
# and compared byte by byte. Names and measures stay plain ASCII without
# commas or quotation marks, so the file reads back unchanged.
set -eu
cd "$(dirname "$0")/.."

tab=$(printf '\t')
grep -v '^#' data/starter-foods.tsv |
    LC_ALL=C sort -t "$tab" -k1,1f |
    LC_ALL=C awk -F '\t' '
        NF != 9 { printf "line %d: %d columns, not 9\n", NR, NF > "/dev/stderr"; bad = 1; next }
        /[^ -~\t]|[,"]/ { printf "line %d: not plain ASCII, or a comma or quote\n", NR > "/dev/stderr"; bad = 1; next }
        toupper($1) == previous { printf "name given twice: %s\n", $1 > "/dev/stderr"; bad = 1 }
        { previous = toupper($1)
          printf "%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n", $1, $2, $5, $4, $7, $8, $9, $3, $6 }
        END { exit bad }' >data/diet.new
mv data/diet.new data/diet
