#!/usr/bin/env bash
# Starts the real program in a real X window (Xvfb, the xcb platform plug-in),
# waits for the window "Quillary" to map, photographs the screen, checks the
# picture is not blank, then types into a cell and quits through the File
# menu: the save question must come, Esc must keep the program running, and
# "No" must end it with status 0, having said nothing on stderr.
#
#   smoke_test.sh PROGRAM WORK_DIR
set -euo pipefail
program=$1
work=$2
rm -rf "$work"
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"

if [[ -z ${SMOKE_INSIDE_X:-} ]]; then
  SMOKE_INSIDE_X=1 exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -nolisten tcp" \
    "$0" "$program" "$work"
fi

fail() { echo "smoke test: $*" >&2; exit 1; }

XDG_RUNTIME_DIR="$work/runtime" XDG_STATE_HOME="$work/state" QT_QPA_PLATFORM=xcb "$program" >"$work/stdout.log" 2>"$work/stderr.log" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=
for _ in $(seq 100); do
  if window=$(xwininfo -name Quillary 2>/dev/null) && grep -q 'Map State: IsViewable' <<<"$window"; then
    break
  fi
  kill -0 "$pid" 2>/dev/null || fail "the program ended before its window mapped: $(cat "$work/stderr.log")"
  window=
  sleep 0.2
done
[[ -n $window ]] || fail "the window \"Quillary\" did not map"
id=$(awk '/Window id:/ {print $4; exit}' <<<"$window")

sleep 1  # let it paint
import -window root "$work/screen.png"
colours=$(identify -format '%k' "$work/screen.png")
(( colours > 16 )) || fail "the screen looks blank ($colours colours)"

# Waits until a window with this title is viewable (or, with "gone", is not).
wait_for_window() {
  local title=$1 want=${2:-shown}
  for _ in $(seq 50); do
    if xwininfo -name "$title" 2>/dev/null | grep -q 'Map State: IsViewable'; then
      [[ $want == shown ]] && return 0
    else
      [[ $want == gone ]] && return 0
    fi
    sleep 0.2
  done
  return 1
}

# Quit as a user would: the File menu's 終了(&X), by its mnemonics.
quit_from_menu() {
  xdotool windowfocus --sync "$id"
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key x
}

# An edit still in the cell editor counts as unsaved.
xdotool windowfocus --sync "$id"
xdotool type --delay 50 a
sleep 0.3
quit_from_menu
wait_for_window 確認 || fail "no save question on quitting with an unsaved edit"
import -window root "$work/question.png"
xdotool key Escape  # Cancel: the program goes on
wait_for_window 確認 gone || fail "the save question did not close on Esc"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the program ended although the save question was cancelled"
quit_from_menu
wait_for_window 確認 || fail "no save question on quitting the second time"
xdotool key Tab space  # from はい to いいえ: end without saving

status=
for _ in $(seq 50); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" && status=0 || status=$?
    break
  fi
  sleep 0.2
done
trap - EXIT
[[ -n $status ]] || { kill "$pid"; fail "the window did not close from the File menu"; }
[[ $status == 0 ]] || fail "the program ended with status $status"
[[ ! -s $work/stderr.log ]] || fail "the program wrote to stderr: $(cat "$work/stderr.log")"
echo "smoke test: window $id mapped, $colours colours on screen, asked before quitting, closed cleanly"
