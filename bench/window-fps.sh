#!/usr/bin/env bash
# Measures Haltwick in a real window. In one Xvfb (24-bit, as a desktop):
#  - the frame rate the game shows ("FPS: %d") on its main screen and in each mini-game
#    (started with Tab, Down presses and Enter), each next to the main screen's reference loop
#    (the same library calls, no game code: bench/reference_loop.cpp) run alone right after
#    it, round after round, so a change in the machine's load falls on both of a pair; and a
#    bare clear-and-blit loop before and after;
#  - on the main screen, after its frame rate, the time from a real key event (Ctrl+Up) to
#    the window showing the new speed, LATENCY_SAMPLES times a round.
# Every game run is ended with its own keys (Escape, then a key) and must exit with status 0.
# Budgets: every screen at 95% of the reference loop's rate or more; latency, median and 95th
# percentile (each the median of the rounds'), within one logic tick plus one frame
# (10 ms + 1/FPS of the main screen).
#   bench/window-fps.sh BUILD_DIR     (haltwick, reference_loop and window_probe built there)
# WINDOW_SECONDS (default 3), WINDOW_ROUNDS (5) and LATENCY_SAMPLES (100) size the run;
# WINDOW_GAMES (default "0 1 2 3 4", empty for none) picks the mini-games measured after the
# main screen.
set -euo pipefail
build=$(cd "${1:?usage: bench/window-fps.sh BUILD_DIR}" && pwd)
seconds=${WINDOW_SECONDS:-3}
rounds=${WINDOW_ROUNDS:-5}
samples=${LATENCY_SAMPLES:-100}
games=${WINDOW_GAMES-0 1 2 3 4}
probe="$build/bench/window_probe"
out=$(mktemp -d)

mkfifo "$out/display"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 3>"$out/display" \
  >/dev/null 2>&1 &
game=""
# Whatever this script started and is still running: the server, a game, a reference loop.
cleanup() {
  kill $(jobs -p) 2>/dev/null
  rm -rf "$out"
}
trap cleanup EXIT
read -r -t 20 number <"$out/display"
export DISPLAY=":$number"

# A reference loop's rate over as many seconds as a game's reading takes.
reference() { "$build/bench/reference_loop" "$1" "$seconds"; }

start_game() {
  "$build/haltwick" >/dev/null 2>&1 &
  game=$!
}
# Escape, then a key for the end screen; again if the game has not exited a second later (a
# key can come before the end screen is ready for it on a loaded machine).
quit_game() {
  local tries=0
  while kill -0 "$game" 2>/dev/null && [ $tries -lt 5 ]; do
    "$probe" quit || true
    sleep 1
    tries=$((tries + 1))
  done
  if kill -0 "$game" 2>/dev/null; then
    echo "the game is still running after Escape and a key, five times" >&2
    exit 1
  fi
  local status=0
  wait "$game" || status=$?
  game=""
  if [ "$status" -ne 0 ]; then
    echo "the game exited with status $status after Escape and a key" >&2
    exit 1
  fi
}

bare=$(reference bare)

# One line a screen: its name, then the game's rates and the reference's, round by round.
results=()
latencies=()
for index in -1 $games; do
  rates=""
  refs=""
  for ((round = 0; round < rounds; round++)); do
    start_game
    name="Mini Game: Main"
    [ "$index" -ge 0 ] && name=$("$probe" start "$index")
    rates+=" $("$probe" fps "$seconds")"
    [ "$index" -lt 0 ] && latencies+=("$("$probe" latency "$samples")")
    quit_game
    refs+=" $(reference main)"
  done
  results+=("${name#Mini Game: }|$rates|$refs")
done

bare+=" $(reference bare)"

printf '%s\n' "${results[@]}" | awk -F'|' -v bare="$bare" -v latency="${latencies[*]}" '
  function median(v, n,   i, j, t) {
    for (i = 2; i <= n; i++)
      for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  BEGIN {
    ok = 1
    print "Frames per second in the window, each the median of whole seconds, one Xvfb;"
    print "ratio: the median of the rounds'"'"' game / reference ratios"
    print "bare clear-and-blit loop, before and after:", bare
    printf "%-32s %8s %10s %8s\n", "screen", "game", "reference", "ratio"
  }
  {
    n = split($2, g, " "); split($3, r, " ")
    for (i = 1; i <= n; i++) q[i] = g[i] / r[i]
    ratio = median(q, n); game = median(g, n); ref = median(r, n)
    if (NR == 1) mainfps = game
    flag = ratio >= 0.95 ? "" : "  UNDER BUDGET"
    if (flag != "") ok = 0
    printf "%-32s %8.0f %10.0f %8.3f%s   (rounds:%s /%s)\n", $1, game, ref, ratio, flag, $2, $3
  }
  END {
    # latency: median, 95th percentile and sample count, round after round
    n = split(latency, l, " ")
    for (i = 1; i <= n / 3; i++) { m[i] = l[3 * i - 2]; p[i] = l[3 * i - 1] }
    med = median(m, n / 3); p95 = median(p, n / 3); budget = 10 + 1000 / mainfps
    flag = (med <= budget && p95 <= budget) ? "" : "  OVER BUDGET"
    if (flag != "") ok = 0
    printf "\nKey to screen (Ctrl+Up to the new speed, main screen), %d rounds of %d samples:\n",
           n / 3, l[3]
    printf "median %.2f ms, 95th percentile %.2f ms; budget %.2f ms (10 ms + 1/%d s)%s\n",
           med, p95, budget, mainfps, flag
    printf "(rounds: medians"; for (i = 1; i <= n / 3; i++) printf " %s", l[3 * i - 2]
    printf " / 95th percentiles"; for (i = 1; i <= n / 3; i++) printf " %s", l[3 * i - 1]
    print ")"
    exit ok ? 0 : 1
  }'
