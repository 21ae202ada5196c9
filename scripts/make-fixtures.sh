#!/usr/bin/env bash
# Makes the MP3 fixtures that the tests play: short sine tones encoded with lame.
# Usage: scripts/make-fixtures.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"
tone() { # name seconds frequency
  local out="$dir/$1.mp3"
  [ -s "$out" ] && return 0
  sox -n -r 44100 -c 2 "$dir/$1.wav" synth "$2" sine "$3" vol 0.3
  lame --quiet -b 128 "$dir/$1.wav" "$out"
  rm -f "$dir/$1.wav"
}
tone tone1s 1 440
tone tone2s 2 523
tone tone3s 3 587
tone tone5s 5 659
tone tone8s 8 698
for i in 1 2 3 4 5; do tone "track$i" 2 $((300 + 80 * i)); done
# Tracks whose names the ANSI code page cannot all hold (Japanese, Greek,
# Cyrillic, accents, an emoji beyond the basic plane): Wine sees the UTF-8
# names of Linux as Unicode.
for name in "日本の歌" "Ελληνικά" "Русская песня" "Café crème" "🎵 Notes"; do
  [ -s "$dir/$name.mp3" ] || cp "$dir/track1.mp3" "$dir/$name.mp3"
done
