#!/usr/bin/env bash
# Run inside xvfb-run: a window manager, the show on that X server (full
# screen unless ARGS say otherwise), and the whole screen grabbed into
# screen.xwd once the trace says the show has passed AT ms. With X_DESKTOP_KEY
# set, those keys are pressed first in the show's window (xdotool), and the grab
# waits until the show's output holds X_DESKTOP_WAIT_FOR (a second when unset);
# with X_DESKTOP_GRAB=window it takes the show's window alone. The show is
# then ended as a desktop would end it (SIGTERM, a quit request).
# usage: x_desktop.sh PLOVERMIX DATA AT OUT [ARGS...]
set -u
plovermix=$1 data=$2 at=$3 out=$4
shift 4
openbox > "$out/openbox.txt" 2>&1 &
wm=$!
sleep 1
SDL_VIDEODRIVER=x11 "$plovermix" --data "$data" --trace "$out/trace.json" "$@" > "$out/show.txt" 2>&1 &
show=$!
for _ in $(seq 1 600); do # two minutes at most
  kill -0 "$show" 2> /dev/null || break
  t=$(tail -c 20000 "$out/trace.json" 2> /dev/null | grep -o '"frame":[0-9]*,"t":[0-9]*' |
    tail -n 1 | sed 's/.*"t"://')
  [ "${t:-0}" -ge "$at" ] && break
  sleep 0.2
done
if [ -n "${X_DESKTOP_KEY:-}" ]; then
  xdotool search --sync --onlyvisible --name '^plovermix$' windowfocus --sync
  # shellcheck disable=SC2086 # several keys, one after the other
  xdotool key $X_DESKTOP_KEY
  if [ -n "${X_DESKTOP_WAIT_FOR:-}" ]; then
    for _ in $(seq 1 100); do # twenty seconds at most
      grep -q "$X_DESKTOP_WAIT_FOR" "$out/show.txt" && break
      sleep 0.2
    done
  else
    sleep 1
  fi
fi
if [ "${X_DESKTOP_GRAB:-}" = window ]; then
  xwd -silent -id "$(xdotool search --onlyvisible --name '^plovermix$' | head -n 1)" > "$out/screen.xwd"
else
  xwd -root -silent > "$out/screen.xwd"
fi
kill -TERM "$show" 2> /dev/null
wait "$show"
status=$?
kill "$wm" 2> /dev/null
exit "$status"
