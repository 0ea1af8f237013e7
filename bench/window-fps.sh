#!/usr/bin/env bash
# Measures Haltwick in a real window. In one Xvfb (24-bit, as a desktop):
#  - the frame rate the game shows ("FPS: %d") on its main screen and in each mini-game
#    (started with Tab, Down presses and Enter), each next to the main screen's reference loop
#    (the same library calls, no game code: bench/reference_loop.cpp) run alone right after
#    it, round after round, so a change in the machine's load falls on both of a pair; and a
#    bare clear-and-blit loop before and after;
#  - on the main screen, after its frame rate, the time from a real key event (Ctrl+Up) to
#    the window showing the new speed, LATENCY_SAMPLES times a round.
# With a Windows build, that game too under Wine in the same Xvfb, right after the native game
# in each round: its frame rate on every screen and its key latency, as ratios to the native
# game's.
# Every game run is ended with its own keys (Escape, then a key) and must exit with status 0.
# Budgets: every screen at 95% of the reference loop's rate or more; latency, median and 95th
# percentile (each the median of the rounds'), within one logic tick plus one frame
# (10 ms + 1/FPS of the main screen). Under Wine: at least 100 FPS on every screen (every tick
# drawn), and a 95th percentile within one tick plus two frames.
#   bench/window-fps.sh BUILD_DIR [HALTWICK_EXE]
# (haltwick, reference_loop and window_probe built in BUILD_DIR; HALTWICK_EXE is run by Wine's
# loader, $WINE_LOADER or /usr/lib/wine/wine64, in $WINEPREFIX: see tests/windows/wine-prefix)
# WINDOW_SECONDS (default 3), WINDOW_ROUNDS (5) and LATENCY_SAMPLES (100) size the run;
# WINDOW_GAMES (default "0 1 2 3 4", empty for none) picks the mini-games measured after the
# main screen.
set -euo pipefail
build=$(cd "${1:?usage: bench/window-fps.sh BUILD_DIR [HALTWICK_EXE]}" && pwd)
windows=${2:-}
wine=("$(dirname "$0")/../tests/windows/wine" "${WINE_LOADER:-/usr/lib/wine/wine64}")
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
  "$@" >/dev/null 2>&1 &
  game=$!
}
# Escape, then a key for the end screen; again if the game has not exited 3 s later (a key can
# come before the end screen is ready for it on a loaded machine; with no window manager to
# withdraw its window, Wine takes 2 s to close it).
quit_game() {
  local tries=0 wait
  while kill -0 "$game" 2>/dev/null && [ $tries -lt 5 ]; do
    "$probe" quit || true
    for ((wait = 0; wait < 30; wait++)); do
      kill -0 "$game" 2>/dev/null || break
      sleep 0.1
    done
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

# Runs the game the arguments start on screen $index (-1: the main screen) and reads its frame
# rate into $rate; on the main screen also a round of key latencies into $latency.
measure() {
  start_game "$@"
  name="Mini Game: Main"
  [ "$index" -ge 0 ] && name=$("$probe" start "$index")
  rate=$("$probe" fps "$seconds")
  latency=""
  [ "$index" -lt 0 ] && latency=$("$probe" latency "$samples")
  quit_game
}

# One line a screen: its name, then the game's rates, the reference's and the Windows build's,
# round by round.
results=()
latencies=()
wine_latencies=()
for index in -1 $games; do
  rates=""
  refs=""
  wine_rates=""
  for ((round = 0; round < rounds; round++)); do
    measure "$build/haltwick"
    rates+=" $rate"
    [ -n "$latency" ] && latencies+=("$latency")
    refs+=" $(reference main)"
    if [ -n "$windows" ]; then
      measure "${wine[@]}" "$windows"
      wine_rates+=" $rate"
      [ -n "$latency" ] && wine_latencies+=("$latency")
    fi
  done
  results+=("${name#Mini Game: }|$rates|$refs|$wine_rates")
done

bare+=" $(reference bare)"

printf '%s\n' "${results[@]}" | awk -F'|' -v bare="$bare" -v latency="${latencies[*]}" \
  -v wine_latency="${wine_latencies[*]}" '
  function median(v, n,   i, j, t) {
    for (i = 2; i <= n; i++)
      for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  # The median of the ratios a[i] / b[i] of two lists of rounds.
  function ratio(a, b,   n, i, x, y, q) {
    n = split(a, x, " "); split(b, y, " ")
    for (i = 1; i <= n; i++) q[i] = x[i] / y[i]
    return median(q, n)
  }
  function middle(list,   v) { return median(v, split(list, v, " ")) }
  # Latency rounds, "median p95 n" each: sets med, p95 and per (samples a round); rounds in
  # meds and p95s.
  function latencies(list,   l, n, i, m, p) {
    n = split(list, l, " ") / 3
    meds = ""; p95s = ""
    for (i = 1; i <= n; i++) {
      m[i] = l[3 * i - 2]; p[i] = l[3 * i - 1]
      meds = meds " " m[i]; p95s = p95s " " p[i]
    }
    per = l[3]
    med = median(m, n); p95 = median(p, n)
    return n
  }
  BEGIN {
    ok = 1
    print "Frames per second in the window, each the median of whole seconds, one Xvfb;"
    print "ratio: the median of the rounds'"'"' game / reference ratios"
    print "bare clear-and-blit loop, before and after:", bare
    printf "%-32s %8s %10s %8s\n", "screen", "game", "reference", "ratio"
  }
  {
    screen[NR] = $1; native[NR] = $2; wine[NR] = $4
    q = ratio($2, $3); game = middle($2)
    if (NR == 1) mainfps = game
    flag = q >= 0.95 ? "" : "  UNDER BUDGET"
    if (flag != "") ok = 0
    printf "%-32s %8.0f %10.0f %8.3f%s   (rounds:%s /%s)\n", $1, game, middle($3), q, flag, $2, $3
  }
  END {
    n = latencies(latency)
    native_med = med; native_p95 = p95
    budget = 10 + 1000 / mainfps
    flag = (med <= budget && p95 <= budget) ? "" : "  OVER BUDGET"
    if (flag != "") ok = 0
    printf "\nKey to screen (Ctrl+Up to the new speed, main screen), %d rounds of %d samples:\n", n, per
    printf "median %.2f ms, 95th percentile %.2f ms; budget %.2f ms (10 ms + 1/%d s)%s\n",
           med, p95, budget, mainfps, flag
    print "(rounds: medians" meds " / 95th percentiles" p95s ")"

    if (wine[1] == "") exit ok ? 0 : 1
    print "\nThe Windows build under Wine, right after the native game in each round;"
    print "ratio: the median of the rounds'"'"' Wine / native ratios; budget 100 FPS"
    printf "%-32s %8s %10s %8s\n", "screen", "Wine", "native", "ratio"
    for (i = 1; i <= NR; i++) {
      game = middle(wine[i])
      if (i == 1) winefps = game
      flag = game >= 100 ? "" : "  UNDER BUDGET"
      if (flag != "") ok = 0
      printf "%-32s %8.0f %10.0f %8.3f%s   (rounds:%s /%s)\n", screen[i], game,
             middle(native[i]), ratio(wine[i], native[i]), flag, wine[i], native[i]
    }
    n = latencies(wine_latency)
    budget = 10 + 2000 / winefps
    flag = p95 <= budget ? "" : "  OVER BUDGET"
    if (flag != "") ok = 0
    printf "\nKey to screen under Wine, %d rounds of %d samples:\n", n, per
    printf "median %.2f ms (%.2f of native), 95th percentile %.2f ms (%.2f of native);\n",
           med, med / native_med, p95, p95 / native_p95
    printf "budget for the 95th percentile %.2f ms (10 ms + 2/%d s)%s\n", budget, winefps, flag
    print "(rounds: medians" meds " / 95th percentiles" p95s ")"
    exit ok ? 0 : 1
  }'
