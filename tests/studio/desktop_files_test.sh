#!/bin/sh
# zorstudio's desktop entry, icons and AppStream description, as `cmake --install`
# lays them out, pass the desktop's own validators.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" --component zorstudio_desktop >/dev/null
share=$prefix/share
app=org.zorkit.zorstudio
desktop-file-validate "$share/applications/$app.desktop"
appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml"
test -s "$share/icons/hicolor/scalable/apps/$app.svg"
for size in 16 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x$size/apps/$app.png
  file "$png" | grep -q "PNG image data, $size x $size" || { echo "$png is no $size x $size PNG"; exit 1; }
done
grep -q "^Icon=$app$" "$share/applications/$app.desktop"
grep -q "^Exec=zorstudio" "$share/applications/$app.desktop"
echo "desktop files: valid"
