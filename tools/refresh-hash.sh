#!/bin/sh
# Refreshes the software lists shipped in the sample program folder (sample/hash/): the MSX
# lists of Debian's mame-data package (public domain, CC0; each keeps its license header), and
# this project's own list for its two sample cartridges, named by their SHA-1.
#   tools/refresh-hash.sh            (installs mame-data when it is missing; needs root for that)
set -eu
cd "$(dirname "$0")/.."
src=/usr/share/games/mame/hash
if [ ! -f "$src/msx1_cart.xml" ]; then
    sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq mame-data >/dev/null
fi
mkdir -p sample/hash
for list in msx1_cart msx2_cart msx1_cass msx2_cass msx1_flop msx1_flop_525 msx2_flop msx2p_flop msxr_flop; do
    cp "$src/$list.xml" "sample/hash/$list.xml"
done
cp /usr/share/doc/mame-data/copyright sample/hash/COPYRIGHT.mame-data

# One entry a sample cartridge: name, English title, Japanese title.
entry() {
    sha=$(sha1sum "sample/$1.rom" | cut -d' ' -f1)
    size=$(wc -c < "sample/$1.rom" | tr -d ' ')
    cat <<XML
	<software name="$1">
		<description>$2</description>
		<year>2026</year>
		<publisher>たるみんソフト</publisher>
		<info name="alt_title" value="$3" />
		<part name="cart" interface="msx_cart">
			<dataarea name="rom" size="$size">
				<rom name="$1.rom" size="$size" sha1="$sha" />
			</dataarea>
		</part>
	</software>
XML
}
{
    cat <<XML
<?xml version="1.0" encoding="UTF-8"?>
<!--
license:CC0-1.0
The sample cartridges that come with Tarumin (roms/, built with pasmo).
-->
<softwarelist name="tarumin_cart" description="Tarumin sample cartridges">
XML
    entry hoshikaze "Hoshikaze Runner (Tarumin sample)" "星風ランナー"
    entry hanno "Hanno Test (Tarumin sample)" "反応テスト"
    echo "</softwarelist>"
} > sample/hash/tarumin_cart.xml
echo "sample/hash: $(grep -c '<software ' sample/hash/*.xml | awk -F: '{n += $2} END {print n}') entries"
