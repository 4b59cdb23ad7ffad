#!/bin/sh
# Draws the program's icon at each size the desktop asks for (dist/icons/N.png), each drawn at
# its own size rather than scaled from another, so that edges stay sharp: an eye under red hair
# on pale yellow, as the window icon, with MSX along the bottom where there is room for it (the name of the computers, no project's).
# The results are kept in the repository; run this again only to change them.
set -eu
cd "$(dirname "$0")/.."
IM=${IM:-/usr/bin/convert}
mkdir -p dist/icons
for n in 16 22 24 32 48 64 128 256; do
    s() { echo $(( $1 * n / 32 )); } # a length in the 32-pixel design, at this size
    text=""
    eyey=15
    if [ "$n" -ge 32 ]; then
        text="-fill black -font DejaVu-Sans-Bold -pointsize $(( n * 8 / 32 )) -gravity south -annotate +0+0 MSX"
    else
        eyey=18 # no room for the word: the eye moves down to the middle
    fi
    stroke=$(( n / 32 )); [ "$stroke" -ge 1 ] || stroke=1
    # shellcheck disable=SC2086
    "$IM" -size "${n}x${n}" xc:none \
        -fill 'rgb(255,250,205)' -draw "roundrectangle 0,0 $((n-1)),$((n-1)) $(s 4),$(s 4)" \
        -fill 'rgb(200,30,30)' \
        -draw "polygon $(s 2),0 $(s 30),0 $(s 30),$(s 6) $(s 24),$(s 10) $(s 20),$(s 6) $(s 16),$(s 11) $(s 12),$(s 6) $(s 8),$(s 10) $(s 2),$(s 6)" \
        -fill white -stroke black -strokewidth "$stroke" \
        -draw "ellipse $(s 16),$(s $eyey) $(s 9),$(s 6) 0,360" \
        -stroke none -fill 'rgb(40,90,200)' -draw "circle $(s 16),$(s $eyey) $(s 16),$(s $((eyey+4)))" \
        -fill black -draw "circle $(s 16),$(s $eyey) $(s 16),$(s $((eyey+2)))" \
        $text "dist/icons/$n.png"
done
