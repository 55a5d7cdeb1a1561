#!/bin/bash
# Speaks the sounds of the audio demo (espeak-ng, in French) and converts some to MP3 (sox).
# Run from this folder; the files are committed, so building needs neither tool.
set -eu
say() {   # say NAME TEXT: 11025 Hz, 8 bits, to keep the quiz small
    espeak-ng -v fr -s 150 -w "$1.tmp.wav" "$2"
    sox "$1.tmp.wav" -r 11025 -b 8 "$1.wav"
    rm "$1.tmp.wav"
}
say chat "Miaou, miaou. Je suis un animal qui ronronne."
say chien "Ouaf, ouaf ! Je garde la maison."
say vache "Meuh. Je donne du lait dans le pré."
say coq "Cocorico ! Je chante au lever du soleil."
say mouton "Bêêê. Ma laine fait de beaux pulls."
say canard "Coin coin. Je nage sur la mare."
# Two of them as MP3, to play both kinds of file.
for n in vache canard; do
    sox "$n.wav" -r 22050 -C 32 "$n.mp3" && rm "$n.wav"   # 22050 Hz: MPEG-2 frames (FF F3)
done
