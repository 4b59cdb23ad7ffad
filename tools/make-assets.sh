#!/bin/sh
# Draws the pictures compiled into the program (assets/) and the pictures and sounds of the
# sample data folder (sample/tarumin/), with ImageMagick and sox. The results are kept in the
# repository, so building needs neither; run this again only to change them (ONLY_2X=1: only
# the built-in pictures' 2x versions).
set -eu
cd "$(dirname "$0")/.."
IM=${IM:-/usr/bin/convert}
FONT=${FONT:-IPAGothic}

mkdir -p assets sample/tarumin/image sample/tarumin/snap sample/tarumin/sound

if [ -z "${ONLY_2X:-}" ]; then
# 1: the scan-line backdrop, 640 x 480, two colours: row y is (89,89,89) when y mod 3 is 0.
"$IM" -size 1x3 xc:'rgb(64,64,64)' -fill 'rgb(89,89,89)' -draw 'point 0,0' \
    -write mpr:row +delete -size 640x480 tile:mpr:row -colors 2 assets/background.gif

# 2: the window icon, 32 x 32: an eye under red hair on pale yellow, MSX along the bottom.
"$IM" -size 32x32 xc:'rgb(255,250,205)' \
    -fill 'rgb(200,30,30)' -draw 'polygon 2,0 30,0 30,6 24,10 20,6 16,11 12,6 8,10 2,6' \
    -fill white -stroke black -strokewidth 1 -draw 'ellipse 16,15 8,5 0,360' \
    -fill 'rgb(40,90,200)' -stroke none -draw 'circle 16,15 16,19' \
    -fill black -draw 'circle 16,15 16,17' \
    -fill black -font "$FONT" -pointsize 9 -gravity south -annotate +0+0 'MSX' \
    -dither None -colors 256 assets/icon.gif
fi

# 3: the no-snapshot picture, 256 x 192 JPEG (in the sample data): a blurred blue keyboard and
#    an MSX mark at the bottom right; no words that could read as an error. The built-in copy
#    is the same picture as a GIF of 256 colours (undithered: it cannot be told from the
#    original), read by the GIF reader the nameplate needs anyway, so that neither the JPEG nor
#    the PNG library is paged in before the window is up; and again at twice the size for
#    screens above 100 %.
standby() { # $1 scale, $2 file, then ImageMagick's output options
    k=$1 out=$2
    shift 2
    "$IM" -size $((256*k))x$((192*k)) xc:'rgb(20,40,110)' -fill 'rgb(70,110,200)' \
        -draw "rectangle $((10*k)),$((60*k)) $((246*k)),$((170*k))" -fill 'rgb(150,180,240)' \
        -draw "$(for y in 70 92 114 136; do for x in 16 40 64 88 112 136 160 184 208; do
            printf 'rectangle %d,%d %d,%d ' $((x*k)) $((y*k)) $(((x+18)*k)) $(((y+16)*k)); done; done)" \
        -blur 0x$((3*k)) \
        -fill white -font DejaVu-Sans-Bold -pointsize $((34*k)) -gravity southeast \
        -annotate +$((10*k))+$((4*k)) 'MSX' "$@" "$out"
}
[ "${ONLY_2X:-}" ] || standby 1 sample/tarumin/image/notimage.jpg -quality 85
[ "${ONLY_2X:-}" ] || "$IM" sample/tarumin/image/notimage.jpg -dither None -colors 256 assets/notimage.gif
standby 2 assets/notimage@2x.gif -dither None -colors 256

# 4 and 5: the power switch (off) and the nameplate, in greys, at 1x and 2x.
switch() { # $1 knob x, $2 file, $3 scale
    k=${3:-1}
    "$IM" -size $((84*k))x$((30*k)) xc:'rgb(200,200,200)' -fill 'rgb(230,230,230)' \
        -draw "rectangle 0,0 $((84*k-1)),$((30*k-1))" \
        -fill 'rgb(60,60,60)' -draw "rectangle $((6*k)),$((7*k)) $((78*k-1)),$((23*k-1))" \
        -fill 'rgb(220,220,220)' -stroke 'rgb(120,120,120)' -strokewidth "$k" \
        -draw "rectangle $(($1*k)),$((5*k)) $((($1+17)*k-1)),$((25*k-1))" \
        -colorspace Gray -colors 16 "$2"
}
nameplate() { # $1 scale, $2 file
    k=$1
    "$IM" -size $((130*k))x$((52*k)) gradient:'rgb(210,210,210)-rgb(150,150,150)' \
        -attenuate 0.3 +noise Uniform -motion-blur 0x$((8*k))+0 \
        -stroke 'rgb(90,90,90)' -strokewidth "$k" -fill none \
        -draw "rectangle 0,0 $((130*k-1)),$((52*k-1))" -stroke none \
        -fill black -font DejaVu-Sans-Bold -pointsize $((13*k)) -gravity north -annotate +0+$((3*k)) 'TARUMIN' \
        -font DejaVu-Sans -pointsize $((10*k)) -annotate +0+$((20*k)) 'for MSX / MESS' \
        -annotate +0+$((35*k)) 'Version 0.900' \
        -colorspace Gray -colors 32 "$2"
}
if [ -z "${ONLY_2X:-}" ]; then
    switch 61 assets/switch-off.gif
    switch 61 sample/tarumin/image/swhich.gif
    switch 7 sample/tarumin/image/swhich2.gif
    nameplate 1 assets/nameplate.gif
fi
switch 61 assets/switch-off@2x.gif 2
nameplate 2 assets/nameplate@2x.gif
[ -z "${ONLY_2X:-}" ] || exit 0


# Snapshots of the made-up sample games, 256 x 192: a title screen for each. The two games
# that really run are photographed by tools/make-snapshots.sh.
snap() { # $1 name, $2 background, $3 title
    "$IM" -size 256x192 xc:"$2" -fill 'rgba(255,255,255,0.25)' \
        -draw 'rectangle 0,150 255,191' -fill white -font "$FONT" -pointsize 20 \
        -gravity center -annotate +0-20 "$3" -pointsize 10 -annotate +0+60 'PUSH SPACE KEY' \
        -colors 16 "sample/tarumin/snap/$1.gif"
}
snap kinoko 'rgb(0,110,0)' 'きのこ大作戦'
snap meikyu 'rgb(90,0,90)' '迷宮のカギ'
snap sorafune 'rgb(0,90,140)' '空船ファイター'
snap umibe 'rgb(0,60,160)' '海辺のパズル'
snap tetsujin 'rgb(120,40,0)' '鉄人レース'
snap yoru 'rgb(20,20,20)' '夜の図書館'
snap kaitou 'rgb(140,0,40)' '怪盗ミッドナイト'
snap hanabi 'rgb(30,0,60)' '花火職人'
snap ishi 'rgb(80,80,80)' '石積み名人'

# A snapshot that moves: two frames.
"$IM" -delay 40 -size 256x192 xc:'rgb(0,0,0)' -fill yellow -draw 'circle 60,96 60,120' \
    \( -size 256x192 xc:'rgb(0,0,0)' -fill yellow -draw 'circle 196,96 196,120' \) \
    -loop 0 sample/tarumin/snap/tsuki.gif

# The two sounds: a short click for the switch and a thump for the nameplate.
sox -n -r 22050 -b 16 -c 1 sample/tarumin/sound/swich.wav synth 0.05 square 1200 fade 0 0.05 0.04 vol 0.5
sox -n -r 22050 -b 16 -c 1 sample/tarumin/sound/doka.wav synth 0.25 sine 90:40 fade 0 0.25 0.2 vol 0.8

# The sample catalogue: written here in UTF-8, stored in CP932 with CR LF.
iconv -f UTF-8 -t CP932 tools/sample-list.txt | sed 's/$/\r/' > sample/tarumin/list.csv
