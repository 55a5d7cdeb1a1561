#!/bin/bash
# Makes the short clips of the video demo with ffmpeg from generated frames (no camera, no
# third-party footage): a moving test pattern, a colour fade and colour bars, in AVI, MPG
# and WMV. Run from this folder; the files are committed, so building needs no ffmpeg.
set -eu
clip() {   # clip NAME SOURCE CODEC_ARGS
    ffmpeg -loglevel error -y -f lavfi -i "$2" -t 2 -s 160x120 -r 25 $3 "$1"
}
clip mire.avi "testsrc=size=160x120:rate=25" "-c:v mpeg4 -q:v 8"
clip couleurs.mpg "color=c=red:size=160x120:rate=25,hue=h=t*180" "-c:v mpeg1video -q:v 8"
clip barres.wmv "smptebars=size=160x120:rate=25" "-c:v wmv2 -q:v 8"
