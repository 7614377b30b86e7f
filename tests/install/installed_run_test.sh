#!/usr/bin/env bash
# The installed player, as a packager's user meets it: installs the build
# into a staging prefix (DESTDIR), makes the prefix read-only and runs the
# installed vidora as a user who is not root, with a fresh HOME, under Xvfb.
#   installed_run_test.sh BUILD_DIR
# Checks: --version without a display; the first start shows the first-run
# dialog, "Continue" leads to the main window, SIGTERM saves; the second
# start goes straight to the main window; ~/.config/vidora/Settings.cfg
# holds the language; nothing was written into the prefix. Every wait is
# bounded, and the script's own deadline kills what it started.
set -euo pipefail

build_dir=$(cd "${1:?usage: installed_run_test.sh BUILD_DIR}" && pwd)
work=$(mktemp -d /tmp/vidora_installed.XXXXXX)
stage=$work/stage
user_home=$work/home
runtime=$work/runtime
display=:$((90 + RANDOM % 400))
xvfb_pid=""
player_pid=""

fail() { echo "FAIL: $*" >&2; exit 1; }

cleanup() {
  [ -n "$player_pid" ] && kill -KILL "$player_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The whole test may take two minutes at most.
( sleep 120; echo "FAIL: deadline" >&2; kill -TERM $$ ) 2>/dev/null &
watchdog=$!
trap 'kill $watchdog 2>/dev/null || true; cleanup' EXIT

for tool in xdotool xprop Xvfb; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

DESTDIR=$stage cmake --install "$build_dir" --prefix /usr >/dev/null
vidora=$stage/usr/bin/vidora
[ -x "$vidora" ] || fail "no installed vidora"
for file in Languages.lngp Resources.qdoc cbuild.qdoc Channels.vdch; do
  [ -f "$stage/usr/share/vidora/$file" ] || fail "$file is not installed"
done
for file in applications/vidora.desktop icons/hicolor/scalable/apps/vidora.svg \
            icons/hicolor/16x16/apps/vidora.png icons/hicolor/256x256/apps/vidora.png \
            man/man1/vidora.1.gz man/man1/vidora-qdoc.1.gz; do
  [ -f "$stage/usr/share/$file" ] || fail "$file is not installed"
done

# A user who is not root: root could write into a read-only prefix.
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  user=nobody
  run_as=(setpriv --reuid="$(id -u $user)" --regid="$(id -g $user)" --clear-groups --)
fi
mkdir -p "$user_home" "$runtime"
chmod 700 "$runtime"
if [ "$(id -u)" -eq 0 ]; then chown "$user" "$user_home" "$runtime"; chmod 755 "$work"; fi
chmod -R a-w "$stage"
manifest() { (cd "$stage" && find . -printf '%p %s %T@ %m\n' | sort); }
before=$(manifest)

player_env=(env -i PATH=/usr/bin:/bin HOME="$user_home" XDG_RUNTIME_DIR="$runtime" LANG=C.UTF-8
            QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1)

# --version and --help need no display.
version=$("${run_as[@]}" "${player_env[@]}" timeout 20 "$vidora" --version) || fail "--version failed"
[ "$version" = "vidora 3.2.0" ] || fail "--version printed '$version'"
"${run_as[@]}" "${player_env[@]}" timeout 20 "$vidora" --help | grep -q -- "--version" || fail "--help"
# Without a display: one line on standard error, exit code 1.
set +e
err=$("${run_as[@]}" "${player_env[@]}" timeout 20 "$vidora" 2>&1 >/dev/null)
code=$?
set -e
[ "$code" -eq 1 ] || fail "without a display the exit code was $code"
[ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "without a display: '$err'"

Xvfb "$display" -noreset -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo -display "$display" >/dev/null 2>&1 || fail "Xvfb did not start"
export DISPLAY=$display

start_player() {
  "${run_as[@]}" "${player_env[@]}" DISPLAY="$display" "$vidora" >"$work/player.log" 2>&1 &
  player_pid=$!
}

# The window id of the player's visible window of `type` (DIALOG or
# NORMAL), waiting up to 30 s.
wait_window() {
  local type=$1 id
  for _ in $(seq 300); do
    kill -0 "$player_pid" 2>/dev/null || fail "the player ended early: $(cat "$work/player.log")"
    for id in $(xdotool search --onlyvisible --pid "$player_pid" 2>/dev/null); do
      type_line=$(xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null || true)
      if grep -q "_NET_WM_WINDOW_TYPE_$type" <<<"$type_line"; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

stop_player() {
  kill -TERM "$player_pid"
  for _ in $(seq 150); do kill -0 "$player_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$player_pid" 2>/dev/null && fail "the player did not end on SIGTERM"
  wait "$player_pid" || true
  player_pid=""
}

# First start: the first-run dialog; its left soft key "Continue" sits in
# the bar along the dialog's bottom edge.
start_player
dialog=$(wait_window DIALOG) || fail "no first-run dialog"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove "$((X + WIDTH / 5))" "$((Y + HEIGHT - 6))" click 1
main=$(wait_window NORMAL) || fail "no main window after Continue"
# Captured first: grep -q would end xprop early (SIGPIPE under pipefail).
icon=$(xprop -id "$main" _NET_WM_ICON 2>/dev/null || true)
grep -q "Icon (16 x 16)" <<<"$icon" || fail "the main window has no icon"
sleep 1
stop_player
settings=$user_home/.config/vidora/Settings.cfg
[ -f "$settings" ] || fail "no $settings after the first run"

# Second start: straight to the main window.
start_player
wait_window NORMAL >/dev/null || fail "no main window at the second start"
# The loading screen (a dialog too) goes about half a second after the main
# window starts, later on a slow machine; a first-run dialog would stay.
visible_dialogs() {
  local id count=0
  for id in $(xdotool search --onlyvisible --pid "$player_pid" 2>/dev/null || true); do
    type_line=$(xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null || true)
    if grep -q DIALOG <<<"$type_line"; then count=$((count + 1)); fi
  done
  echo "$count"
}
for _ in $(seq 100); do
  [ "$(visible_dialogs)" = 0 ] && break
  sleep 0.1
done
[ "$(visible_dialogs)" = 0 ] || fail "a dialog came up at the second start"
stop_player

# Captured first, as above: grep -q ending the dump early fails the pipe.
dump=$("$stage/usr/bin/vidora-qdoc" dump "$settings") || fail "Settings.cfg cannot be read"
grep -q '"Language"' <<<"$dump" || fail "Settings.cfg holds no language"
[ "$(manifest)" = "$before" ] || fail "something was written into the prefix"
echo "PASS"
