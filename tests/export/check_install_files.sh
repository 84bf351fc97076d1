#!/bin/sh
# Checks the files that the installation puts into the desktop: the desktop entry and the
# AppStream metadata validate, every icon is a PNG of its size, and the menu launcher starts
# the program in $XDG_DATA_HOME/tallowby, creating the folder.
# Usage: check_install_files.sh SOURCE-DIR ICON-DIR APP-ID. Exits 77 when no validator is there.
set -eu
src=$1 icons=$2 id=$3
status=0
validated=0

if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$src/data/$id.desktop" || status=1
    validated=1
else
    echo "desktop-file-validate not installed (desktop-file-utils): desktop entry not validated"
fi
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net "$src/data/$id.metainfo.xml" || status=1
    validated=1
else
    echo "appstreamcli not installed (appstream): metadata not validated"
fi

grep -q "^Exec=tallowby-menu$" "$src/data/$id.desktop" || { echo "Exec is not tallowby-menu"; status=1; }
grep -q "^Icon=$id$" "$src/data/$id.desktop" || { echo "Icon is not $id"; status=1; }

for size in 16 22 24 32 48 64 128 256; do
    png=$icons/${size}x${size}/apps/$id.png
    if ! head -c 24 "$png" 2>/dev/null | od -An -tx1 | tr -d ' \n' |
        grep -q "^89504e470d0a1a0a"; then
        echo "missing or not a PNG: $png"; status=1; continue
    fi
    # Width and height stand big-endian at bytes 16 to 23 of the IHDR chunk.
    dims=$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')
    set -- $dims
    w=$(( ($1 << 24) + ($2 << 16) + ($3 << 8) + $4 ))
    h=$(( ($5 << 24) + ($6 << 16) + ($7 << 8) + $8 ))
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || { echo "$png is ${w}x$h"; status=1; }
done

# The launcher, with a stand-in program beside it that records where it was started.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/bin"
cp "$src/data/tallowby-menu" "$tmp/bin/"
printf '#!/bin/sh\npwd > "%s/started-in"\n' "$tmp" > "$tmp/bin/tallowby"
chmod +x "$tmp/bin/tallowby" "$tmp/bin/tallowby-menu"
XDG_DATA_HOME="$tmp/data home" "$tmp/bin/tallowby-menu"
[ "$(cat "$tmp/started-in")" = "$tmp/data home/tallowby" ] || { echo "launcher: started in $(cat "$tmp/started-in")"; status=1; }
rm "$tmp/started-in"
HOME="$tmp/home" XDG_DATA_HOME="" "$tmp/bin/tallowby-menu"
[ "$(cat "$tmp/started-in")" = "$tmp/home/.local/share/tallowby" ] || { echo "launcher: default folder not used"; status=1; }
[ "$(stat -c %a "$tmp/home/.local/share/tallowby")" = 700 ] || { echo "launcher: folder not private"; status=1; }

[ $status -eq 0 ] && [ $validated -eq 0 ] && { echo "SKIP: no validator installed"; exit 77; }
[ $status -eq 0 ] && echo "Installed files are fine."
exit $status
