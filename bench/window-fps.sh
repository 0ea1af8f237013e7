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
# Then the frame at other sizes, on two more servers (3840 x 2160 and 1920 x 1080), each with a
# window manager (openbox) for fullscreen: the main screen's frame rate in a window at 2x and
# at 3x (HALTWICK_SCALE) with its key latency, and fullscreen (F11) on either screen; under
# Wine, a 2x window and 1920 x 1080 fullscreen. And paused: the share of a core the game takes
# while its window is without the focus (read from /proc over PAUSED_SECONDS); under Wine,
# that of all the prefix's processes too, its server's and helpers' with the game's.
# Budgets: every screen at 95% of the reference loop's rate or more; latency, median and 95th
# percentile (each the median of the rounds'), within one logic tick plus one frame
# (10 ms + 1/FPS of the main screen). Under Wine: at least 100 FPS on every screen (every tick
# drawn), and a 95th percentile within one tick plus two frames. At other sizes: 200 FPS at
# 2x, 100 at 3x, 150 fullscreen at 1920 x 1080 and 60 at 3840 x 2160, and 100 under Wine;
# latency within one tick plus one frame at that size's rate. Paused: 1% of a core at most.
#   bench/window-fps.sh BUILD_DIR [HALTWICK_EXE]
# (haltwick, reference_loop and window_probe built in BUILD_DIR; HALTWICK_EXE is run by Wine's
# loader, $WINE_LOADER or /usr/lib/wine/wine64, in $WINEPREFIX: see tests/windows/wine-prefix)
# WINDOW_SECONDS (default 3), WINDOW_ROUNDS (5) and LATENCY_SAMPLES (100) size the run;
# WINDOW_GAMES (default "0 1 2 3 4", empty for none) picks the mini-games measured after the
# main screen; WINDOW_SCALED=0 leaves out the other sizes, PAUSED_SECONDS (default 20, 0 for
# none) sizes the paused reading.
set -euo pipefail
build=$(cd "${1:?usage: bench/window-fps.sh BUILD_DIR [HALTWICK_EXE]}" && pwd)
windows=${2:-}
wine=("$(dirname "$0")/../tests/windows/wine" "${WINE_LOADER:-/usr/lib/wine/wine64}")
seconds=${WINDOW_SECONDS:-3}
rounds=${WINDOW_ROUNDS:-5}
samples=${LATENCY_SAMPLES:-100}
games=${WINDOW_GAMES-0 1 2 3 4}
scaled=${WINDOW_SCALED:-1}
pause_seconds=${PAUSED_SECONDS:-20}
probe="$build/bench/window_probe"
out=$(mktemp -d)

game=""
# Whatever this script started and is still running: the servers, their window managers, a
# game, a reference loop.
cleanup() {
  kill $(jobs -p) 2>/dev/null
  rm -rf "$out"
}
trap cleanup EXIT

# Starts an Xvfb of SIZE (24-bit, as a desktop) and sets the variable named VAR to its display.
server() {
  local fifo="$out/display-$2" number
  mkfifo "$fifo"
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$2x24" 3>"$fifo" >/dev/null 2>&1 &
  read -r -t 20 number <"$fifo"
  printf -v "$1" ':%s' "$number"
}
# The same with openbox on it, ready once it runs its start-up command (which it does once it
# manages the screen: a window mapped before can be left unmapped).
desktop() {
  server "$1" "$2"
  local ready="$out/ready-$2" wait=0
  DISPLAY=${!1} openbox --startup "touch $ready" >/dev/null 2>&1 &
  while [ ! -e "$ready" ] && [ $((wait++)) -lt 100 ]; do
    sleep 0.1
  done
  [ -e "$ready" ] || { echo "openbox did not come up on ${!1}" >&2; exit 1; }
}

server main_display 1024x768
export DISPLAY=$main_display

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

# The cases at other sizes, "game|case|display|HALTWICK_SCALE|window or fullscreen|W H|FPS
# budget|latency too": a window must show its picture at W x H, fullscreen must cover a
# W x H screen.
cases=()
if [ "$scaled" != 0 ]; then
  desktop uhd 3840x2160
  desktop hd 1920x1080
  cases=(
    "native|windowed 2x|$uhd|2|window|1600 1200|200|latency"
    "native|windowed 3x|$uhd|3|window|2400 1800|100|latency"
    "native|fullscreen 1920 x 1080|$hd|1|fullscreen|1920 1080|150|"
    "native|fullscreen 3840 x 2160|$uhd|1|fullscreen|3840 2160|60|"
  )
  [ -n "$windows" ] && cases+=(
    "Wine|windowed 2x|$uhd|2|window|1600 1200|100|"
    "Wine|fullscreen 1920 x 1080|$hd|1|fullscreen|1920 1080|100|"
  )
fi

# Runs case $1 and reads its frame rate into $rate (-1 when the game did not show as the case
# asks) and, when it asks, a round of key latencies into $latency.
measure_case() {
  local kind label display scale mode size budget keys shown
  IFS='|' read -r kind label display scale mode size budget keys <<<"$1"
  local command=("$build/haltwick")
  [ "$kind" = Wine ] && command=("${wine[@]}" "$windows")
  export DISPLAY=$display
  start_game env HALTWICK_SCALE="$scale" "${command[@]}"
  rate=-1
  latency=""
  if [ "$mode" = window ]; then
    shown=$("$probe" picture $size) || true
  else
    "$probe" fullscreen $size && shown=$size || shown=""
  fi
  if [ "$shown" = "$size" ]; then
    rate=$("$probe" fps "$seconds")
    [ -n "$keys" ] && latency=$("$probe" latency "$samples")
  else
    echo "$kind, $label: the picture is ${shown:-not there}, not $size" >&2
  fi
  quit_game
  export DISPLAY=$main_display
}

# The share of a core the game the arguments start takes paused, "game all" into $paused
# ("-1 -1" when it did not pause and go on again as it should).
measure_paused() {
  local prefix=()
  [ "$1" = Wine ] && prefix=("$WINEPREFIX")
  shift
  start_game "$@"
  paused=$("$probe" paused "$pause_seconds" "$game" "${prefix[@]}") || paused="-1 -1"
  quit_game
}

# One line a case: "game|case|FPS budget|rates|latency rounds", the paused ones
# "game|paused|1|game's rounds|all's rounds".
declare -A case_rates case_latencies
paused_native=""
paused_wine=""
paused_wine_all=""
for ((round = 0; round < rounds; round++)); do
  for ((i = 0; i < ${#cases[@]}; i++)); do
    measure_case "${cases[i]}"
    case_rates[$i]+=" $rate"
    case_latencies[$i]+=" $latency"
  done
  if [ "$pause_seconds" -gt 0 ]; then
    measure_paused native "$build/haltwick"
    paused_native+=" ${paused% *}"
    if [ -n "$windows" ]; then
      measure_paused Wine "${wine[@]}" "$windows"
      paused_wine+=" ${paused% *}"
      paused_wine_all+=" ${paused#* }"
    fi
  fi
done
others=()
for ((i = 0; i < ${#cases[@]}; i++)); do
  IFS='|' read -r kind label _ _ _ _ budget _ <<<"${cases[i]}"
  others+=("$kind|$label|$budget|${case_rates[$i]}|${case_latencies[$i]}")
done
if [ "$pause_seconds" -gt 0 ]; then
  others+=("native|paused|1|$paused_native|$paused_native")
  [ -n "$windows" ] && others+=("Wine|paused|1|$paused_wine|$paused_wine_all")
fi

# For both reports: the median of v[1..n] (sorting it), and of a list of numbers.
medians='
  function median(v, n,   i, j, t) {
    for (i = 2; i <= n; i++)
      for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  function middle(list,   v) { return median(v, split(list, v, " ")) }
'
status=0
printf '%s\n' "${results[@]}" | awk -F'|' -v bare="$bare" -v latency="${latencies[*]}" \
  -v wine_latency="${wine_latencies[*]}" "$medians"'
  # The median of the ratios a[i] / b[i] of two lists of rounds.
  function ratio(a, b,   n, i, x, y, q) {
    n = split(a, x, " "); split(b, y, " ")
    for (i = 1; i <= n; i++) q[i] = x[i] / y[i]
    return median(q, n)
  }
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
  }' || status=1

[ ${#others[@]} -eq 0 ] && exit $status
printf '%s\n' "${others[@]}" | awk -F'|' "$medians"'
  # The least of a list: a round below 0 is one the game failed.
  function least(list,   v, n, i, m) {
    n = split(list, v, " "); m = v[1]
    for (i = 2; i <= n; i++) if (v[i] < m) m = v[i]
    return m
  }
  BEGIN {
    ok = 1
    print "\nOther sizes, each the median of the rounds (openbox on every screen):"
    printf "%-40s %8s %8s\n", "case", "FPS", "budget"
  }
  $2 != "paused" {
    fps = middle($4)
    flag = least($4) < 0 ? "  FAILED" : fps >= $3 ? "" : "  UNDER BUDGET"
    if (flag != "") ok = 0
    printf "%-40s %8.0f %8d%s   (rounds:%s)\n", $1 ", " $2, fps, $3, flag, $4
    if ($5 ~ /[0-9]/) {
      n = split($5, l, " ") / 3
      for (i = 1; i <= n; i++) { m[i] = l[3 * i - 2]; p[i] = l[3 * i - 1] }
      med = median(m, n); p95 = median(p, n)
      budget = 10 + 1000 / fps
      flag = (med <= budget && p95 <= budget) ? "" : "  OVER BUDGET"
      if (flag != "") ok = 0
      printf "  key to screen, %d rounds of %d: median %.2f ms, 95th percentile %.2f ms;\n",
             n, l[3], med, p95
      printf "  budget %.2f ms (10 ms + 1/%d s)%s\n", budget, fps, flag
    }
  }
  $2 == "paused" {
    game = middle($4); all = middle($5)
    flag = least($4) < 0 || least($5) < 0 ? "  FAILED" : all <= 1 ? "" : "  OVER BUDGET"
    if (flag != "") ok = 0
    if (!header++)
      print "\nPaused (the focus on another window), % of a core; budget 1%:"
    if ($1 == "native")
      printf "%-40s %7.2f%%%s   (rounds:%s)\n", "native", game, flag, $4
    else
      printf "%-40s %7.2f%%, with its server and helpers %.2f%%%s\n   (rounds:%s /%s)\n", \
             "Wine, the game", game, all, flag, $4, $5
  }
  END { exit ok ? 0 : 1 }' || status=1
exit $status
