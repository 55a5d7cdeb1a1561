#!/bin/bash
# Draws the flag pictures of the picture demo (ImageMagick) in several formats and sizes.
# Run from this folder; the pictures are committed, so building needs no ImageMagick.
set -eu
# BMP as version 3 with a palette: the form every Windows picture loader reads, and small.
out() { case $1 in *.bmp) echo "-type palette BMP3:$1";; *) echo "$1";; esac; }
vertical() {   # vertical NAME W H C1 C2 C3 EXT
    convert -size "$(($2/3))x$3" "xc:$4" "xc:$5" "xc:$6" +append -resize "$2x$3!" $(out "$1.$7")
}
horizontal() { # horizontal NAME W H C1 C2 C3 EXT
    convert -size "$2x$(($3/3))" "xc:$4" "xc:$5" "xc:$6" -append -resize "$2x$3!" $(out "$1.$7")
}
solved() {     # solved NAME SOURCE: the flag framed in green with a tick, as the solution picture
    convert "$2" -bordercolor '#00A000' -border 12 \
        -stroke white -strokewidth 10 -fill none -draw "polyline 20,60 45,85 95,25" "$1"
}
vertical france 300 200 '#0055A4' white '#EF4135' jpg
vertical italie 300 200 '#009246' white '#CE2B37' gif
vertical belgique 260 225 black '#FDDA24' '#EF3340' bmp
vertical irlande 400 200 '#169B62' white '#FF883E' png
horizontal allemagne 500 300 black '#DD0000' '#FFCE00' jpg
horizontal autriche 300 200 '#ED2939' white '#ED2939' png
horizontal hongrie 100 50 '#CE2939' white '#477050' jpg
horizontal pays-bas 520 390 '#AE1C28' white '#21468B' jpg
horizontal russie 50 45 white '#0039A6' '#D52B1E' bmp
for f in france.jpg allemagne.jpg italie.gif; do solved "solution-${f%.*}.jpg" "$f"; done
convert -size 200x200 xc:'#DA291C' -fill white -draw "rectangle 80,40 120,160" -draw "rectangle 40,80 160,120" suisse.png
