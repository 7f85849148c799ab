#!/usr/bin/env bash
# Refuses an #include whose path climbs with "../": headers are included by their path from the
# top folder, so that a library reaches only the layers it links. Prints file:line of each one.
# Usage: check-includes.sh [source folder] [build folder to skip]
set -uo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd) || exit 2
skip=${2:-}
cd "$root" || exit 2
dirs=()
for d in */; do
    d=${d%/}
    # Build trees hold generated sources that include by relative paths.
    [[ -e $d/CMakeCache.txt || (-n $skip && $d -ef $skip) ]] && continue
    dirs+=("$d")
done
((${#dirs[@]})) || exit 0
grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' --include='*.c' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^">]*/)?\.\./' "${dirs[@]}"
case $? in
0)
    echo "Include headers by their path from the top folder, never with \"../\"." >&2
    exit 1
    ;;
1) exit 0 ;;
*) exit 2 ;;
esac
