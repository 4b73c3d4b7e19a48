#!/usr/bin/env bash
# Generation and compile time of the register model, per 1,000 generated register classes.
# A synthetic description of N register classes (ksxgen --synthetic, 100 per block) is
# generated and its sources compiled exactly as the library compiles generated sources.
#
# Usage: bench/bench_gen.sh [N [JOBS]]     (defaults: N=1000, JOBS=2)
set -euo pipefail

N=${1:-1000}
JOBS=${2:-2}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PY=/usr/bin/python3
CXX=${CXX:-c++}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Runs a command and prints "<wall s> <cpu s>" (user + system, children included).
timed() {
  /usr/bin/time -f '%e %U %S' -o "$WORK/time" "$@" >/dev/null
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$WORK/time"
}

"$PY" "$ROOT/tools/ksxgen/ksxgen" --synthetic "$N" --synthetic-out "$WORK/regs" >/dev/null

read -r GEN_WALL GEN_CPU < <(timed "$PY" "$ROOT/tools/ksxgen/ksxgen" --regs "$WORK/regs" --out "$WORK/gen")

find "$WORK/gen" -name '*.cc' | sort > "$WORK/sources"
read -r CC_WALL CC_CPU < <(timed xargs -P "$JOBS" -I{} -a "$WORK/sources" \
  "$CXX" -DBOOST_ALL_NO_LIB -I"$ROOT" -I"$WORK/gen" -O3 -fPIC -Wall -Wextra -std=c++17 -c {} -o {}.o)

FILES=$(grep -c '' "$WORK/sources")
LINES=$(cat "$WORK"/gen/model/*/*.h "$WORK"/gen/model/*/*.cc | grep -c '')
OBJ=$(du -cb "$WORK"/gen/model/*/*.o | tail -1 | cut -f1)
awk -v n="$N" -v j="$JOBS" -v files="$FILES" -v lines="$LINES" -v obj="$OBJ" \
    -v gw="$GEN_WALL" -v gc="$GEN_CPU" -v cw="$CC_WALL" -v cc="$CC_CPU" 'BEGIN {
  k = 1000 / n;
  printf "register classes   %d (%d sources, %d generated lines, %.1f MiB objects)\n", n, files, lines, obj / 1048576;
  printf "generation         wall %.2f s, cpu %.2f s   per 1,000 classes: cpu %.2f s\n", gw, gc, gc * k;
  printf "compile (-j%d)      wall %.1f s, cpu %.1f s   per 1,000 classes: cpu %.1f s\n", j, cw, cc, cc * k;
  printf "7,100 classes      cpu %.1f min; on %d idle cores about %.1f min\n", (gc + cc) * 7.1 * k / 60, j, (gc + cc / j) * 7.1 * k / 60;
}'
