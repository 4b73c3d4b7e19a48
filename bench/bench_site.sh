#!/usr/bin/env bash
# The register reference web site at the chip's full scale: a synthetic description with the
# chip's class counts and top-map shape (ksxgen --synthetic full), its site generated with
# ksxgen --html; generation time and memory, total size, largest page, and the time headless
# Chromium takes to load the index page (from the file system, median of 5 loads, browser
# start-up excluded: the index is loaded into a frame of a timing page).
#
# Usage: bench/bench_site.sh
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
PY=/usr/bin/python3
KSXGEN="$ROOT/tools/ksxgen/ksxgen"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

"$PY" "$KSXGEN" --regs "$ROOT/regs" --synthetic full --synthetic-out "$WORK/regs" >/dev/null
/usr/bin/time -f '%e %U %S %M' -o "$WORK/time" "$PY" "$KSXGEN" --regs "$WORK/regs" --html "$WORK/site"
read -r WALL USR SYS RSS < "$WORK/time"
/usr/bin/time -f '%e %U %S' -o "$WORK/time_c" "$PY" "$KSXGEN" --regs "$WORK/regs" --c-header "$WORK/c"
read -r CWALL CUSR CSYS < "$WORK/time_c"

FILES=$(find "$WORK/site" -type f | wc -l)
TOTAL=$(du -sb "$WORK/site" | cut -f1)
read -r BIGGEST BIGNAME < <(find "$WORK/site" -type f -printf '%s %P\n' | sort -n | tail -1)
INDEX=$(stat -c %s "$WORK/site/index.html")
CFILES=$(find "$WORK/c" -type f | wc -l)
CTOTAL=$(du -sb "$WORK/c" | cut -f1)

LOAD="(no Chromium installed)"
BROWSER=$(command -v chromium || command -v chromium-browser || true)
if [ -n "$BROWSER" ]; then
  # One static frame: the timing page's load event waits for it, so --dump-dom sees the result.
  cat > "$WORK/timing.html" <<'HTML'
<!DOCTYPE html><html><body><p id="t">none</p>
<script>var t0 = performance.now();</script>
<iframe src="site/index.html" onload="document.getElementById('t').textContent = 'load ' + (performance.now() - t0).toFixed(0)"></iframe>
</body></html>
HTML
  for i in 1 2 3 4 5; do
    "$BROWSER" --headless --no-sandbox --disable-gpu --dump-dom "file://$WORK/timing.html" 2>/dev/null |
      sed -n 's/.*<p id="t">load \([0-9]*\)<.*/\1/p'
  done | sort -n > "$WORK/loads"
  LOAD=$(awk '{ v[NR] = $1 } END { if (NR == 5) printf "median %d ms (min %d, max %d)", v[3], v[1], v[5]; else print "(not measured)" }' "$WORK/loads")
fi

awk -v w="$WALL" -v u="$USR" -v s="$SYS" -v rss="$RSS" -v files="$FILES" -v total="$TOTAL" -v big="$BIGGEST" \
    -v bigname="$BIGNAME" -v index_size="$INDEX" -v load="$LOAD" -v cw="$CWALL" -v cu="$CUSR" -v cs="$CSYS" \
    -v cfiles="$CFILES" -v ctotal="$CTOTAL" 'BEGIN {
  printf "site generation    wall %.2f s, cpu %.2f s, peak RSS %.0f MiB\n", w, u + s, rss / 1024;
  printf "site size          %d files, %.1f MiB\n", files, total / 1048576;
  printf "largest page       %s, %.2f MiB (limit 2 MiB)\n", bigname, big / 1048576;
  printf "index page         %.1f KiB; load in headless Chromium: %s (limit 1 s)\n", index_size / 1024, load;
  printf "C headers          wall %.2f s, cpu %.2f s; %d files, %.1f MiB\n", cw, cu + cs, cfiles, ctotal / 1048576;
}'
