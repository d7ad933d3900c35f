#!/bin/sh
# The tour that comes with the program replays to "verified" under virtual
# time, and its animation at 2x stays small enough for a slide or a page:
# under 200 KB for each 30 s it lasts.
set -eu
sim=$1
tour=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

test "$("$sim" "$tour")" = verified

# The animation from the tour's first key line to its end.
awk '!done && /^lang /{print "gif '"$dir"'/tour.gif 2"; done=1} {print}' "$tour" >"$dir/gif.sim"
test "$("$sim" "$dir/gif.sim")" = verified
ms=$(awk '$1=="wait"{t+=$2} END{print t}' "$tour")
bytes=$(wc -c <"$dir/tour.gif")
echo "tour: $ms ms, GIF at 2x: $bytes bytes"
test $((bytes * 30000)) -lt $((200 * 1024 * ms))
