#!/bin/sh
# The package managers' manifests for one release, from dist/windows/manifests.in: the setup
# program's and the zip's SHA-256 filled in.
#
#   scripts/windows-manifests.sh VERSION SETUP_EXE ZIP OUTPUT_FOLDER
# TARUMIN_RELEASES names where the release's files are published (an https address).
set -eu
version=$1 setup=$2 zip=$3 out=$4
top=$(cd "$(dirname "$0")/.." && pwd)
releases=${TARUMIN_RELEASES:-https://tarumin.example.org/releases/$version}
setup_sha=$(sha256sum "$setup" | cut -d' ' -f1 | tr a-f A-F)
zip_sha=$(sha256sum "$zip" | cut -d' ' -f1)
rm -rf "$out"
mkdir -p "$out"
awk -v out="$out" -v version="$version" -v releases="$releases" \
    -v setup="$(basename "$setup")" -v setup_sha="$setup_sha" \
    -v zip="$(basename "$zip")" -v zip_sha="$zip_sha" '
    /^=== / { file = out "/" substr($0, 5); dir = file; sub(/\/[^\/]*$/, "", dir)
              system("mkdir -p \"" dir "\""); next }
    !file { next }
    { gsub(/@VERSION@/, version); gsub(/@RELEASES@/, releases); gsub(/@SETUP_SHA256@/, setup_sha)
      gsub(/@SETUP@/, setup); gsub(/@ZIP_SHA256@/, zip_sha); gsub(/@ZIP@/, zip); print > file }
' "$top/dist/windows/manifests.in"
echo "Package manifests: $out (winget, Scoop)"
