#!/bin/sh
# Makes the program's icons, next to this script:
#
#   quorvel.png          the window icon the program shows: 32 x 32, 256 colours,
#                        drawn with ImageMagick below
#   icons/quorvel-N.png  the desktop's icons, N = 16 24 32 48 64 128 256,
#                        rendered from quorvel.svg
#   quorvel.ico          the Windows icon, 32-bit with alpha, at 16, 20, 24,
#                        32, 40, 48, 64 and 256 (stored as PNG) pixels: 32 is
#                        the window icon above, the others from quorvel.svg
#
# quorvel.svg is the scalable artwork itself (its "Q" is Liberation Serif Bold
# turned into outlines) and is edited by hand; keep it and the drawing below
# alike. Needs ImageMagick 6, librsvg2-bin, fonts-liberation and python3
# (scripts/setup-deps.sh icons).
set -eu
cd "$(dirname "$0")"

big=$(mktemp --suffix=.png)
work=$(mktemp -d)
trap 'rm -rf "$big" "$work"' EXIT

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

# The Windows icon's images as raw RGBA, for the writer below.
for size in 16 20 24 40 48 64; do
    rsvg-convert --width "$size" --height "$size" quorvel.svg --output "$work/$size.png"
    convert "$work/$size.png" -depth 8 "RGBA:$work/$size.rgba"
done
convert quorvel.png -depth 8 "RGBA:$work/32.rgba"

# An .ico file: a directory of the images, then each image. 16 to 64 are
# 32-bit bitmaps (BGRA rows from the bottom up, then the AND mask that
# systems without alpha draw by: a 1 where a pixel is transparent); 256 is the
# PNG itself, as Windows Vista and later read it.
python3 - "$work" icons/quorvel-256.png quorvel.ico <<'PYTHON'
import struct
import sys

work, png256, out = sys.argv[1:]


def bitmap(size):
    rgba = open(f"{work}/{size}.rgba", "rb").read()
    assert len(rgba) == size * size * 4
    rows = [rgba[y * size * 4:(y + 1) * size * 4] for y in range(size)]
    pixels = b"".join(
        bytes((row[x + 2], row[x + 1], row[x], row[x + 3]))
        for row in reversed(rows)
        for x in range(0, size * 4, 4))
    stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x in range(size):
            if row[x * 4 + 3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    return header + pixels + mask


images = [(size, bitmap(size)) for size in (16, 20, 24, 32, 40, 48, 64)]
images.append((256, open(png256, "rb").read()))
offset = 6 + 16 * len(images)
data = struct.pack("<HHH", 0, 1, len(images))
for size, image in images:
    data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
    offset += len(image)
data += b"".join(image for _, image in images)
open(out, "wb").write(data)
PYTHON
