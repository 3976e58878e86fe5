#!/usr/bin/env bash
# The installed package as a desktop meets it: the player starts under Xvfb on a bundled puzzle
# with its tool bar's icons drawn, loads nothing that the package's dependencies do not bring,
# and the thumbnailer draws a puzzle as a file manager runs it. Runs as any user; autopkgtest
# runs it too (debian/tests/control).
set -u  # no pipefail: grep -q ends pipes early on purpose
export LC_ALL=C.UTF-8
unset LANGUAGE QT_QPA_PLATFORM QT_PLUGIN_PATH WAYLAND_DISPLAY
fail() { echo "FAIL: $*"; exit 1; }
player=/usr/games/setkariy
data=/usr/share/games/setkariy
[ -x "$player" ] || fail "$player is not installed"
for tool in Xvfb xwininfo import convert identify dpkg-query apt-cache; do
  command -v "$tool" >/dev/null || fail "$tool is missing (xvfb, x11-utils, imagemagick)"
done

tmp=$(mktemp -d)
pids=()
cleanup() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  rm -rf "$tmp"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
export HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/runtime"
export PATH=/usr/local/bin:/usr/bin:/bin:/usr/games  # a user's session path
mkdir -m 700 "$HOME" "$XDG_RUNTIME_DIR"

Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$tmp/display")"

echo "== the player on a bundled puzzle"
puzzle=$(ls "$data"/Библиотека/*.pxg | head -1)
[ -n "$puzzle" ] || fail "no puzzles in $data/Библиотека"
setkariy "$puzzle" 2>"$tmp/player.log" &
player_pid=$!
pids+=("$player_pid")
window=
for _ in $(seq 200); do
  window=$(xwininfo -root -tree | grep -F "[$puzzle]" | grep -v ' 1x1+' | awk '{print $1}' | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { cat "$tmp/player.log"; fail "no window shows $puzzle"; }

echo "== the tool bar's icons"
# Under the menu bar: grey without icons; the icons bring saturated colours (the folder, the
# information mark, the exit arrow).
coloured=0
for _ in $(seq 50); do
  import -window "$window" "$tmp/shot.png" 2>/dev/null &&
    coloured=$(convert "$tmp/shot.png" -crop 600x36+0+20 +repage -colorspace HSL -channel G -separate +channel \
      -threshold 40% -format '%[fx:round(mean*w*h)]' info:)
  [ "${coloured:-0}" -ge 100 ] && break
  sleep 0.2
done
echo "saturated pixels in the tool bar: $coloured"
[ "${coloured:-0}" -ge 100 ] || { cat "$tmp/player.log"; fail "the tool bar shows no icons (see the SVG plug-in)"; }

echo "== what the running player loaded, against the package's dependencies"
# Every shared object and catalogue mapped comes from a package that setkariy's Depends bring,
# directly or through theirs: plug-ins and translations are loaded at run time, so no library
# link names them for dpkg-shlibdeps.
awk '$6 ~ /\.so(\.[0-9]+)*$|\.qm$/ {print $6}' "/proc/$player_pid/maps" | sort -u >"$tmp/mapped"
grep -q 'libqsvgicon\.so' "$tmp/mapped" || fail "the SVG icon plug-in was not loaded"
apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances setkariy 2>/dev/null | grep -v '^ ' | sed 's/:.*//' | sort -u >"$tmp/closure"
grep -qx setkariy "$tmp/closure" || fail "the setkariy package is not installed"
missing=0
while read -r file; do
  owner=$(dpkg-query -S "$file" 2>/dev/null | head -1)
  # Merged /usr: dpkg may know the file by its /lib name.
  [ -n "$owner" ] || owner=$(dpkg-query -S "${file#/usr}" 2>/dev/null | head -1)
  [ -n "$owner" ] || { echo "not from any package: $file"; missing=1; continue; }
  for pkg in $(echo "${owner%%: *}" | tr ',' ' '); do
    pkg=${pkg%%:*}
    grep -qx "$pkg" "$tmp/closure" && continue 2
  done
  echo "loaded $file from ${owner%%: *}, which setkariy's dependencies do not bring"
  missing=1
done <"$tmp/mapped"
echo "$(wc -l <"$tmp/mapped") files mapped, from $(wc -l <"$tmp/closure") packages in the dependencies"
[ "$missing" -eq 0 ] || fail "a run-time dependency is not declared"
kill "$player_pid"

echo "== the thumbnailer as the desktop runs it"
entry=/usr/share/thumbnailers/setkariy.thumbnailer
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ -n "$exec_line" ] || fail "$entry has no Exec line"
cp "$puzzle" "$tmp/мой кроссворд.pxg"
for size in 128 256; do
  read -ra words <<<"$exec_line"
  argv=()
  for word in "${words[@]}"; do
    case $word in
      %i) argv+=("$tmp/мой кроссворд.pxg") ;;
      %o) argv+=("$tmp/thumb-$size.png") ;;
      %s) argv+=("$size") ;;
      *) argv+=("$word") ;;
    esac
  done
  env -i PATH=/usr/bin:/bin HOME="$HOME" "${argv[@]}" || fail "the thumbnailer failed: ${argv[*]}"
  read -r w h < <(identify -format '%w %h\n' "$tmp/thumb-$size.png")
  echo "thumbnail at $size: ${w}x$h"
  [ "$(( w > h ? w : h ))" -eq "$size" ] || fail "a $size thumbnail is ${w}x$h"
done
echo "PASS"
