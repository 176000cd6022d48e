#!/usr/bin/env bash
# Writes the default sample disc for the scenarios once: MKDISC DIR. A disc that was written
# completely before (its stamp beside it) is kept.
set -eu
mkdisc=$1 dir=$2
[[ -f $dir.complete && -f $dir/db/Photo.txt ]] && exit 0
rm -rf "$dir" "$dir.partial" "$dir.complete"
"$mkdisc" "$dir.partial"
mv "$dir.partial" "$dir"
touch "$dir.complete"
