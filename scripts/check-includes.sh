#!/usr/bin/env bash
# Checks that no include runs back up to the controller: no file under src/controller
# includes a header of a room (a folder of src/) that itself includes the controller's
# headers, and src/records includes nothing of the program but itself. Prints each
# offending include; exit status 1 when there is one.
#   check-includes.sh [repo]
set -uo pipefail
repo=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
cd "$repo/src" || exit 2

status=0
# The rooms above the controller: those with a file that includes one of its headers.
mapfile -t above < <(grep -rlE '^#include "controller/' --include='*.h' --include='*.cpp' . |
    cut -d/ -f2 | sort -u | grep -vx controller)
for room in "${above[@]}"; do
    if grep -rnE "^#include \"$room/" controller; then
        echo "check-includes: src/controller includes $room/, which includes the controller" >&2
        status=1
    fi
done
if [ -d records ] && grep -rnE '^#include "' records | grep -vE '^[^:]+:[0-9]+:#include "records/'; then
    echo "check-includes: src/records includes another room" >&2
    status=1
fi
exit $status
