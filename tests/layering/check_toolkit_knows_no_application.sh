#!/usr/bin/env bash
# The toolkit is reusable: nothing under platform/ names the application, its module of
# classes, or the words of its screen. Its name comes from its Info.plist.
# Usage: check_toolkit_knows_no_application.sh SOURCE-FOLDER
set -euo pipefail
source=$1
name=$(python3 "$source/platform/Foundation/Tools/info_plist.py" \
    "$source/orvane/Resources/Info.plist" CFBundleName) || { echo "FAIL: no CFBundleName"; exit 1; }
found=$(grep -rn -i -E "$name|wage|calculat|hourly|price" "$source/platform" || true)
if [ -n "$found" ]; then
    echo "FAIL: the toolkit names the application:"
    echo "$found"
    exit 1
fi
echo "1 passed, 0 failed"
