#!/bin/sh
# orx700-sim --record and the replay's verdict as a script sees them: the
# recording replays to "verified" with status 0; one key changed gives
# "diverged at line N" with status 1; a run whose script fails writes no
# recording and leaves an older one as it was.
set -eu
sim=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

printf 'k1-long\nwait 1500\nk2\nwait 400\ndown k1\nwait 500\nup\nwait 1000\n' >"$dir/run.sim"
"$sim" --clock "2026-03-14 10:30" --record "$dir/rec.sim" "$dir/run.sim" >"$dir/out"
test ! -s "$dir/out"
test "$("$sim" "$dir/rec.sim")" = verified

line=$(grep -n '^k2$' "$dir/rec.sim" | cut -d: -f1)
sed 's/^k2$/k1/' "$dir/rec.sim" >"$dir/changed.sim"
status=0
out=$("$sim" "$dir/changed.sim") || status=$?
test "$status" -eq 1
test "$out" = "diverged at line $line"

cp "$dir/rec.sim" "$dir/before.sim"
printf 'k1-long\nbogus\n' >"$dir/bad.sim"
status=0
"$sim" --record "$dir/rec.sim" "$dir/bad.sim" 2>"$dir/err" || status=$?
test "$status" -eq 2
grep -q 'line 2' "$dir/err"
cmp "$dir/rec.sim" "$dir/before.sim"
