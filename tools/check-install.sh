#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop gets from it: the
# desktop entry and the metainfo pass their validators (where present), the theme icons
# are PNGs of their sizes and an SVG, and the installed app, started by name from another
# folder against the installed simulator, walks its screens in English and writes their
# pictures. Usage: tools/check-install.sh BUILD-DIR APP-ID
set -euo pipefail
build=$(cd "$1" && pwd)
id=$2
work=$(mktemp -d)
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --build "$build" --target lvxing lvxing-devserver lvxing_icons >/dev/null
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
for program in lvxing lvxing-devserver; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done

desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml
[ -f "$desktop" ] || fail "no desktop entry $desktop"
[ -f "$metainfo" ] || fail "no metainfo $metainfo"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
grep -qx "Exec=lvxing" "$desktop" || fail "the desktop entry does not start lvxing"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $id.desktop"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --strict "$metainfo" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli refuses $metainfo: $(cat "$work/appstream.log")"
fi

# A PNG begins with its eight-byte signature; width and height follow in the IHDR chunk.
is_png() { [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ]; }
for size in 16 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$icon" ] && is_png "$icon" || fail "$icon is missing or not a PNG"
  read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$icon")
  [ "$width x $height" = "$size x $size" ] || fail "$icon is $width x $height, not $size x $size"
done
svg=$share/icons/hicolor/scalable/apps/$id.svg
[ -f "$svg" ] || fail "no scalable icon $svg"
if command -v xmllint >/dev/null; then
  [ "$(xmllint --xpath 'local-name(/*)' "$svg")" = svg ] || fail "$svg is not an SVG"
else
  grep -q '<svg[ >]' "$svg" || fail "$svg is not an SVG"
fi

# The installed programs, found on the PATH as a desktop finds them, in a folder of their own.
export PATH="$prefix/bin:$PATH" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
unset LVXING_SERVER LVXING_DATA_DIR
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/elsewhere" && cd "$work/elsewhere"
lvxing-devserver --port 0 --data-dir "$work/sim" >"$work/sim.log" 2>&1 &
server_pid=$!
server=""
for _ in $(seq 600); do
  server=$(grep -om1 'lvxing-devserver on http://127\.0\.0\.1:[0-9]*' "$work/sim.log" |
           cut -d' ' -f3) && break
  kill -0 "$server_pid" 2>/dev/null || fail "the simulator stopped: $(cat "$work/sim.log")"
  sleep 0.1
done
[ -n "$server" ] || fail "the simulator named no address: $(cat "$work/sim.log")"

status=0
timeout 800 lvxing --lang en --server "$server" >"$work/app.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the app exited with $status: $(tail -20 "$work/app.log")"
grep -q "no texts in" "$work/app.log" && fail "the installed app has no English texts"
grep -q "cannot read route" "$work/app.log" && fail "the installed app has no demo route"
grep -q "GET /TolvarDevId.php" "$work/sim.log" || fail "the app never reached the simulator"
pictures=(out/screens/*.png)
[ -f out/screens/index.html ] && [ "${#pictures[@]}" -ge 20 ] ||
  fail "the tour wrote ${#pictures[@]} pictures: $(tail -20 "$work/app.log")"
for picture in "${pictures[@]}"; do
  is_png "$picture" || fail "$picture is not a PNG"
done
echo "install: $prefix holds the app, its desktop files and icons; the tour wrote ${#pictures[@]} pictures"
