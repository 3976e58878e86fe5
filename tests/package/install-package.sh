#!/usr/bin/env bash
# Builds the Debian package with scripts/package, installs it, runs the installed smoke test,
# opens a puzzle through the desktop, removes it, and checks the machine is left as it was.
# Usage: install-package.sh SOURCE_DIR
set -u  # no pipefail: grep -q ends pipes early on purpose
source=$1
export LC_ALL=C.UTF-8
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root: it installs the package into this machine"
[ -f /etc/debian_version ] || skip "not Debian"
for tool in dpkg-buildpackage dpkg-deb apt-get lintian Xvfb gio xwininfo import; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup installs it)"
done
dpkg-query -W -f='${Status}' setkariy 2>/dev/null | grep -q "installed" &&
  skip "a setkariy package is installed already; this test will not touch it"

tmp=$(mktemp -d)
chmod 755 "$tmp"  # apt reads the package as its own user
pids=()
fail() { echo "FAIL: $*"; exit 1; }

snapshot() {
  find /usr /etc -xdev -path /usr/lib/python3 -prune -o -print 2>/dev/null | grep -v __pycache__ | sort
}
snapshot > "$tmp/files-before"
dpkg-query -W -f='${Package}\n' | sort > "$tmp/packages-before"

cleanup() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  if dpkg-query -W -f='${Status}' setkariy 2>/dev/null | grep -q "installed\|config-files"; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq setkariy >/dev/null 2>&1 || dpkg -P setkariy
  fi
  # Whatever the package's installation pulled in goes too.
  local added
  added=$(dpkg-query -W -f='${Package}\n' | sort | comm -13 "$tmp/packages-before" -)
  if [ -n "$added" ]; then
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq $added >/dev/null 2>&1
  fi
  rm -rf "$tmp"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

echo "== scripts/package"
"$source/scripts/package" >"$tmp/deb" 2>"$tmp/package.log" || { cat "$tmp/package.log"; fail "scripts/package"; }
deb=$(cat "$tmp/deb")
echo "$deb"
dpkg-deb -f "$deb" Depends | tee "$tmp/depends"
# Loaded at run time, so no library link names them: the SVG icon plug-in, the platform
# plug-ins, the cursor library the X11 one opens, and Qt's Russian texts.
for dep in libqt6svg6 libxcursor1 qt6-qpa-plugins qt6-translations-l10n libqt6widgets6; do
  grep -q "$dep" "$tmp/depends" || fail "Depends lacks $dep"
done
dpkg-deb -c "$deb" > "$tmp/contents"
for file in ./usr/games/setkariy ./usr/games/pxgtool ./usr/share/games/setkariy/Background.jpg \
    ./usr/share/games/setkariy/sound.wav ./usr/share/games/setkariy/Библиотека/sound.wav \
    ./usr/share/applications/setkariy.desktop ./usr/share/mime/packages/setkariy.xml \
    ./usr/share/icons/hicolor/48x48/apps/setkariy.png ./usr/share/icons/hicolor/scalable/apps/setkariy.svg \
    ./usr/share/metainfo/ ./usr/share/man/man6/setkariy.6.gz ./usr/share/man/man6/pxgtool.6.gz \
    ./usr/share/thumbnailers/setkariy.thumbnailer ./usr/share/doc/setkariy/copyright; do
  grep -q " $file" "$tmp/contents" || fail "the package lacks $file"
done
# Stripped, with the debugging symbols in their own package.
dpkg-deb -c "${deb/setkariy_/setkariy-dbgsym_}" >"$tmp/dbgsym"
grep -q '/usr/lib/debug/.build-id/' "$tmp/dbgsym" || fail "no debugging symbols package"

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >"$tmp/apt.log" 2>&1 ||
  { cat "$tmp/apt.log"; fail "apt-get install"; }

echo "== the installed player"
bash "$source/tests/package/smoke-installed.sh" || fail "the installed smoke test"

echo "== open a puzzle from the desktop into the running player"
export XDG_RUNTIME_DIR="$tmp/runtime" HOME="$tmp/home"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
export PATH=/usr/local/bin:/usr/bin:/bin:/usr/games  # a user's session path
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$tmp/display")"

puzzle=$(ls /usr/share/games/setkariy/Библиотека/*.pxg | head -1)
type=$(gio info -a standard::content-type "$puzzle" | sed -n 's/.*standard::content-type: //p')
[ "$type" = application/x-setkariy-puzzle ] || fail "$puzzle has the type '$type'"
for _ in $(seq 50); do gio mime application/x-setkariy-puzzle | grep -q "Default.*setkariy.desktop" && break; sleep 0.2; done
gio mime application/x-setkariy-puzzle | grep -q "Default.*setkariy.desktop" ||
  { gio mime application/x-setkariy-puzzle; fail "no default application for puzzles"; }

setkariy &
pids+=($!)
player=$!
channel="$XDG_RUNTIME_DIR/setkariy-TMainForm-$(id -u)"
for _ in $(seq 200); do [ -S "$channel" ] && break; sleep 0.1; done
[ -S "$channel" ] || fail "the installed player did not start"
# Qt's hidden 1x1 group leader carries the title too; the frame is the real window.
frames() { xwininfo -root -tree | grep '"Сеткарий' | grep -v ' 1x1+'; }
frame() { frames | grep -c .; }
for _ in $(seq 100); do [ "$(frame)" -ge 1 ] && break; sleep 0.1; done
before=$(frames)
gio open "$puzzle" || fail "gio open"
for _ in $(seq 100); do frames | grep -qF "[$puzzle]" && break; sleep 0.1; done
frames
frames | grep -qF "[$puzzle]" || fail "the puzzle did not open in the running player (was: $before)"
[ "$(frame)" -eq 1 ] || fail "more than one player window"
# Other players on this machine are not ours: ours share this test's runtime folder.
ours() { for pid in $(pgrep -x setkariy); do
  { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" && echo "$pid"; done; }
for _ in $(seq 100); do [ "$(ours | grep -c .)" -eq 1 ] && break; sleep 0.1; done
[ "$(ours | grep -c .)" -eq 1 ] || fail "a second player stayed running"
kill "$player"; wait "$player" 2>/dev/null

echo "== remove"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq setkariy >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; fail "apt-get purge"; }
snapshot > "$tmp/files-after"
# The machine may change under other hands meanwhile; what is ours is named after us or was in
# the package.
sed -n 's|^[^ ]* *[^ ]* *[^ ]* *[^ ]* *[^ ]* *\.\(/[^ ]*\).*|\1|p' "$tmp/contents" | sed 's|/$||' | sort -u >"$tmp/ours"
diff "$tmp/files-before" "$tmp/files-after" | sed -n 's/^[<>] //p' >"$tmp/changed"
[ -s "$tmp/changed" ] && { echo "changed meanwhile under /usr and /etc:"; cat "$tmp/changed"; }
left=$( (grep -iE 'setkariy|pxgtool' "$tmp/changed"; grep -xFf "$tmp/ours" "$tmp/changed") | sort -u)
[ -z "$left" ] || fail "left behind or gone after removing the package: $left"
echo "PASS"
