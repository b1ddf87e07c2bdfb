#!/bin/sh
# Draws the program's own artwork with ImageMagick: the About logo (8-bit BMP, read by the program's own
# bitmap class) and the desktop icon, as PNGs and as SVG. Run it after changing the drawing; the results
# are committed.
set -eu
cd "$(dirname "$0")"
FONT=DejaVu-Sans-Bold

# A sheet with a folded top-right corner in an s x s box, offset by x,y: path data for ImageMagick and SVG.
sheet() { # s x y
    s=$1; x=$2; y=$3
    l=$((x + s / 8)); r=$((x + s - s / 8)); t=$((y + s / 16)); b=$((y + s - s / 16)); f=$((s / 4))
    printf 'M %d,%d L %d,%d L %d,%d L %d,%d L %d,%d Z' $l $t $((r - f)) $t $r $((t + f)) $r $b $l $b
}
corner() { # s x y
    s=$1; x=$2; y=$3
    r=$((x + s - s / 8)); t=$((y + s / 16)); f=$((s / 4))
    printf 'M %d,%d L %d,%d L %d,%d Z' $((r - f)) $t $((r - f)) $((t + f)) $r $((t + f))
}

# The logo: a page with text lines and a large F, the maker's name below.
convert -size 200x200 xc:white \
    -fill white -stroke '#1d3f7a' -strokewidth 4 -draw "path '$(sheet 168 16 0)'" \
    -fill '#c9d6ee' -draw "path '$(corner 168 16 0)'" \
    -stroke none -fill '#8a94a6' \
    -draw 'rectangle 54,122 146,126' -draw 'rectangle 54,134 146,138' -draw 'rectangle 54,146 124,150' \
    -font $FONT -pointsize 84 -fill '#2456b4' -annotate +58+104 F \
    -font $FONT -pointsize 22 -fill '#1d3f7a' -gravity south -annotate +0+2 Zentrel \
    -type Palette -colors 64 -compress None BMP3:../FolivantLogo.bmp

# The desktop icon in the sizes of the hicolor theme, each drawn at its size so that its lines stay sharp.
for s in 256 128 64 48 32 24 16; do
    w=$((s / 40 + 1))
    convert -size ${s}x${s} xc:none \
        -fill white -stroke '#1d3f7a' -strokewidth $w -draw "path '$(sheet $s 0 0)'" \
        -fill '#c9d6ee' -draw "path '$(corner $s 0 0)'" -stroke none \
        -font $FONT -pointsize $((s * 9 / 16)) -fill '#2456b4' -gravity center -annotate +0+$((s / 20)) F \
        -define png:exclude-chunks=date,time ../icons/folivant-$s.png
done

# The same drawing as the 256-pixel icon, scalable. The F is DejaVu Sans Bold's outline at that size (a
# stem and two bars), measured on a rendering ten times as large, so that showing it needs no font.
cat >../icons/folivant.svg <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <path d="$(sheet 256 0 0)" fill="#ffffff" stroke="#1d3f7a" stroke-width="7"/>
  <path d="$(corner 256 0 0)" fill="#c9d6ee" stroke="#1d3f7a" stroke-width="7"/>
  <path d="M 92,84.8 H 165.1 V 105.3 H 119.1 V 124.8 H 162.3 V 145.3 H 119.1 V 189.9 H 92 Z" fill="#2456b4"/>
</svg>
EOF
