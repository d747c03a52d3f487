#!/bin/sh
# Rebuilds QuorStudio's icons (the PNGs in this folder) from the Tango icon theme
# and from the SVG drawings in this folder (app.svg) and in src/.
#
# Needs: the Tango icon theme (Debian: tango-icon-theme, at /usr/share/icons/Tango,
# or set TANGO=...), rsvg-convert (Debian: librsvg2-bin), ImageMagick's convert,
# and the DejaVu fonts (Debian: fonts-dejavu-core) for the few letters drawn.
# Usage: sh resources/make-icons.sh     (from anywhere)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
T=${TANGO:-/usr/share/icons/Tango}
for tool in rsvg-convert convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "make-icons.sh: $tool is missing" >&2; exit 1; }
done
[ -d "$T/24x24" ] || { echo "make-icons.sh: no Tango icon theme at $T" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Writes an 8-bit RGBA PNG without time stamps, so a rebuild gives the same bytes.
png() { # png OUT CONVERT-ARGS...
    out=$1; shift
    convert "$@" -strip -define png:exclude-chunks=date,time -define png:color-type=6 PNG32:"$out"
}
# A Tango icon as it is, from the 24x24 set.
tango() { # tango CATEGORY/NAME OUT
    png "$2" "$T/24x24/$1.png"
}
# A drawing rendered at SIZE pixels square.
svg() { # svg SOURCE SIZE OUT
    rsvg-convert -w "$2" -h "$2" "$1" -o "$tmp/svg.png"
    png "$3" "$tmp/svg.png"
}
# Renders a Tango scalable icon at SIZE pixels, into $tmp.
tsvg() { # tsvg CATEGORY/NAME SIZE -> prints the file
    f="$tmp/$(echo "$1" | tr / _)-$2.png"
    rsvg-convert -w "$2" -h "$2" "$T/scalable/$1.svg" -o "$f"
    echo "$f"
}
# BASE with OVER (a Tango 16x16 icon) laid at its bottom right.
badge16() { # badge16 BASE CATEGORY/NAME OUT
    png "$3" "$1" "$T/16x16/$2.png" -geometry +8+8 -composite
}

# --- Tango icons used as they are -------------------------------------------------
tango actions/edit-clear          clear.png
tango actions/appointment         clock.png
tango actions/edit-copy           copy.png
tango actions/edit-cut            cut.png
tango actions/edit-paste          paste.png
tango actions/edit-undo           undo.png
tango actions/edit-redo           redo.png
tango actions/edit-select-all     select-all.png
tango actions/document-properties details.png
tango actions/edit-find-replace   find-and-replace.png
tango actions/document-new        new-file.png
tango actions/document-open       open-file.png
tango actions/document-save       save.png
tango actions/document-print      print.png
svg src/run.svg           24 run.png

# --- Drawn for QuorStudio (SVG sources) -------------------------------------------
svg app.svg 24 app.png
for size in 48 64 128 256; do
    svg app.svg "$size" "app-$size.png"
done
svg src/bubble.svg         24 bubble.png
svg src/words.svg          24 words.png
svg src/compounds.svg      24 compounds.png
svg src/debug.svg          24 debug.png
svg src/tree-graph.svg     24 tree-graph.png
svg src/question-deriv.svg 24 question-deriv.png
svg src/step-forward.svg   24 step-forward.png
svg src/run-to-cursor.svg  24 run-to-cursor.png
svg src/step-back.svg      24 step-back.png

# --- Composites of Tango icons and drawings ---------------------------------------
doc=$T/24x24/mimetypes/text-x-generic.png
rsvg-convert -w 12 -h 12 src/badge-close.svg -o "$tmp/x.png"
rsvg-convert -w 24 -h 24 src/band-pdf.svg -o "$tmp/band.png"
rsvg-convert -w 24 -h 24 src/memory-module.svg -o "$tmp/module.png"

# close: a document with a red cross badge
png close.png "$doc" "$tmp/x.png" -geometry +12+12 -composite
# close-all: two documents with a red cross badge
d20=$(tsvg mimetypes/text-x-generic 20)
png close-all.png -size 24x24 xc:none "$d20" -geometry +0+0 -composite \
    "$d20" -geometry +4+3 -composite "$tmp/x.png" -geometry +12+12 -composite
# save-all: two floppy disks, one behind the other
s19=$(tsvg actions/document-save 19)
png save-all.png -size 24x24 xc:none "$s19" -geometry +0+0 -composite \
    "$s19" -geometry +5+5 -composite
# save-as: a floppy disk with a pencil
rsvg-convert -w 14 -h 14 src/badge-pencil.svg -o "$tmp/pencil.png"
png save-as.png "$T/24x24/actions/document-save-as.png" "$tmp/pencil.png" -geometry +10+10 -composite
# pdf: a document with a red band reading PDF
png pdf.png "$doc" "$tmp/band.png" -composite
# recent-files: an opening folder with a clock
badge16 "$T/24x24/actions/document-open.png" actions/appointment recent-files.png
# clear-screen: a terminal with a broom
badge16 "$T/24x24/apps/utilities-terminal.png" actions/edit-clear clear-screen.png
# internal-question: a question mark with a cog wheel
q20=$(tsvg apps/help-browser 20)
g13=$(tsvg emblems/emblem-system 13)
png internal-question.png -size 24x24 xc:none "$q20" -geometry +0+0 -composite \
    "$g13" -geometry +11+11 -composite
# memory (save the engine's memory): a memory module with a floppy disk
badge16 "$tmp/module.png" actions/document-save memory.png
# clear-memory: a memory module with a broom
badge16 "$tmp/module.png" actions/edit-clear clear-memory.png

echo "make-icons.sh: icons written to $here"
