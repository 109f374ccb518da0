#!/bin/sh
# Draws the program icon: a gold serif "Q" over a gunsight on an olive plate.
# Drawn at 128 x 128 and scaled down for smooth edges, then reduced to a
# 256-colour palette. Writes quorvel.png (indexed PNG) and quorvel.ico next to
# this script. Needs ImageMagick 6 and fonts-liberation.
set -eu
cd "$(dirname "$0")"

big=$(mktemp --suffix=.png)
trap 'rm -f "$big"' EXIT

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
convert "$big" \
    \( -size 128x128 xc:black -fill white -draw 'roundrectangle 2,2 125,125 20,20' \) \
    -alpha off -compose copy_opacity -composite \
    -filter Lanczos -resize 32x32 \
    -channel A -threshold 50% +channel \
    -colors 256 PNG8:quorvel.png

convert quorvel.png -colors 256 -type Palette quorvel.ico
