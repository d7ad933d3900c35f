#!/bin/sh
# orx700-sim --ini: a state that cannot be written back ends with a non-zero
# status and a reason, and the file stays as it was. At the size limit the
# state is written; one byte past it, it is not.
set -eu
sim=$1
limit=$((4 * 1024 * 1024))
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# The complete state of a run that switches on and moves to the next machine.
script=$dir/script.sim
printf 'k1-long\nwait 1500\nk1\n' >"$script"
: >"$dir/base.ini"
"$sim" --clock "2026-03-14 10:30" --ini "$dir/base.ini" "$script" >/dev/null
base_size=$(wc -c <"$dir/base.ini")

# That state from point 9, padded by a comment line to a size: the run moves
# on to the off-route point and adds its slot, so the file grows when written.
padded() { # size
  { printf ';'; head -c $(($1 - base_size - 2)) /dev/zero | tr '\0' x; printf '\n'; cat "$dir/base.ini"; } |
    sed 's/^SelectedPoint=[0-9]$/SelectedPoint=9/' >"$dir/state.ini"
  test "$(wc -c <"$dir/state.ini")" -eq "$1"
  cp "$dir/state.ini" "$dir/before.ini"
}
padded $((base_size + 100))
"$sim" --clock "2026-03-14 10:30" --ini "$dir/state.ini" "$script" >/dev/null
growth=$(($(wc -c <"$dir/state.ini") - base_size - 100))
test "$growth" -gt 0

# Written up to the limit...
padded $((limit - growth))
"$sim" --clock "2026-03-14 10:30" --ini "$dir/state.ini" "$script" >/dev/null
test "$(wc -c <"$dir/state.ini")" -eq "$limit" || { echo "a state of $limit bytes was not written"; exit 1; }
grep -q '^SelectedPoint=478' "$dir/state.ini"

# ... and refused one byte past it.
padded $((limit - growth + 1))
status=0
"$sim" --clock "2026-03-14 10:30" --ini "$dir/state.ini" "$script" >/dev/null 2>"$dir/err" || status=$?
test "$status" -ne 0 || { echo "exit status 0 for a state that was not written"; exit 1; }
grep -q "would grow past $limit bytes" "$dir/err" || { echo "no reason given:"; cat "$dir/err"; exit 1; }
cmp -s "$dir/state.ini" "$dir/before.ini" || { echo "the file was changed"; exit 1; }

# A place that cannot be written: a folder at the file's name.
mkdir "$dir/folder.ini"
status=0
"$sim" --ini "$dir/folder.ini" "$script" >/dev/null 2>"$dir/err" || status=$?
test "$status" -ne 0 || { echo "exit status 0 for an ini that is a folder"; exit 1; }
grep -q "could not write" "$dir/err" || { echo "no reason given:"; cat "$dir/err"; exit 1; }
echo "ok"
