#!/usr/bin/env bash
# The application includes its own headers, the standard library's and the public headers
# of the toolkit's frameworks, nothing else: no drawing description, painter or front end,
# and none of the libraries behind them (SDL, Cairo, ICU, pugixml, ncurses).
# Usage: check_application_includes.sh APPLICATION-FOLDER
set -euo pipefail
folder=$1
frameworks='Runtime|Foundation|CoreGraphics|QuartzCore|UIKit'
own=$(cd "$folder" && find . -name '*.h' | sed 's|^\./||' | paste -sd'|' -)
bad=$(grep -rn --include='*.cpp' --include='*.h' -E '^\s*#\s*include' "$folder" |
    grep -v -E "#\s*include\s*<[a-z_0-9/]+>" |
    grep -v -E "#\s*include\s*\"(($frameworks)/[A-Za-z]+\.h|$own)\"" || true)
if [ -n "$bad" ]; then
    echo "FAIL: the application includes what is not the toolkit's frameworks:"
    echo "$bad"
    exit 1
fi
count=$(grep -rh --include='*.cpp' --include='*.h' -E '^\s*#\s*include' "$folder" | wc -l)
echo "1 passed, 0 failed ($count includes checked)"
