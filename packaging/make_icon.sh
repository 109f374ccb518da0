#!/bin/sh
# Makes the program's icons, next to this script:
#
#   quorvel.png          the window icon the program shows: 32 x 32, 256 colours,
#                        drawn with ImageMagick below
#   icons/quorvel-N.png  the desktop's icons, N = 16 24 32 48 64 128 256,
#                        rendered from quorvel.svg
#   quorvel.ico          the Windows icon: 16 and 48 from quorvel.svg, 32 the
#                        256-colour window icon
#
# quorvel.svg is the scalable artwork itself (its "Q" is Liberation Serif Bold
# turned into outlines) and is edited by hand; keep it and the drawing below
# alike. Needs ImageMagick 6, librsvg2-bin and fonts-liberation.
set -eu
cd "$(dirname "$0")"

big=$(mktemp --suffix=.png)
trap 'rm -f "$big"' EXIT

# A gold serif "Q" over a gunsight on an olive plate, drawn at 128 x 128 and
# scaled down for smooth edges, then reduced to a 256-colour palette.
convert -size 128x128 xc:none \
    \( -size 120x120 gradient:'#6b7a3a-#2e3a18' \) -geometry +4+4 -compose over -composite \
    -fill none -stroke '#d9b44a' -strokewidth 5 -draw 'roundrectangle 4,4 123,123 18,18' \
    -stroke '#f3e3a0' -strokewidth 4 -draw 'circle 64,64 64,22' \
    -draw 'line 64,10 64,30' -draw 'line 64,98 64,118' \
    -draw 'line 10,64 30,64' -draw 'line 98,64 118,64' \
    -stroke none -fill '#d9b44a' -font Liberation-Serif-Bold -pointsize 80 \
    -gravity center -annotate +0+2 'Q' \
    "$big"

# Cut the plate's corners to transparency so the icon sits on any background.
# No time stamps, so that the same drawing gives the same bytes.
convert "$big" \
    \( -size 128x128 xc:black -fill white -draw 'roundrectangle 2,2 125,125 20,20' \) \
    -alpha off -compose copy_opacity -composite \
    -filter Lanczos -resize 32x32 \
    -channel A -threshold 50% +channel \
    -colors 256 -define png:exclude-chunks=date,time PNG8:quorvel.png

mkdir -p icons
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" quorvel.svg --output "icons/quorvel-$size.png"
done

convert icons/quorvel-16.png \( quorvel.png -colors 256 -type Palette \) icons/quorvel-48.png \
    quorvel.ico
