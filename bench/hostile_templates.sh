#!/bin/sh
# Templates of unclosed comment openings against a plain template of the
# same size, as whole converter processes: seconds and peak memory of each,
# and each one's time over the plain one's.
#   bench/hostile_templates.sh CONVERTER [RUNS] [BYTES]
# Two sheets: 3 fields of 8,000 records (one name holds " -->"), and
# 16,383 fields of one record (the window's cell limit). For each, the
# templates (BYTES each, 1 MiB by default): plain (text and placeholders),
# "<!-- " repeated, "<!-- BeginRepeat " repeated, the tag of a name that
# holds " -->" cut short before its first " -->", repeated, a mix of these with cut-short and nested openings,
# and placeholders of a field of empty cells behind an unclosed "<!-- ".
# The median of RUNS runs (3 by default) is shown.
set -eu
converter=$1
runs=${2:-3}
bytes=${3:-1048576}
. "$(dirname "$0")/support/work_dir.sh"

python3 - "$work" "$bytes" <<'PY'
import random, sys
work, size = sys.argv[1], int(sys.argv[2])

def fit(piece):
    return (piece * (size // len(piece.encode()) + 1)).encode()[:size]

def sheet(name, names, records, value):
    with open(f"{work}/{name}.csv", "w", newline="") as out:
        out.write(",".join(names) + "\r\n")
        for r in range(records):
            out.write(",".join(value(r, f) for f in range(len(names))) + "\r\n")

def templates(name, plain, own):
    rng = random.Random(7)
    pieces = ["<!-- ", "<!--", "<!-", "<!-- BeginRepeat ", "<!-- BeginRepeat 2 ", "<!-- EndRepeat --",
              " -->", "-->", "<!-- <!-- ", "x", " "] + own
    mix, n = [], 0
    while n < size:
        mix.append(rng.choice(pieces))
        n += len(mix[-1].encode())
    cases = {"plain": fit(plain), "open": fit("<!-- "), "begin": fit("<!-- BeginRepeat "),
             "inner": fit("<!-- f2 --"), "mix": "".join(mix).encode()[:size],
             "empty": ("<!-- " + "<!-- f0 -->" * (size // 11)).encode()[:size]}
    for case, text in cases.items():
        with open(f"{work}/{name}-{case}.html", "wb") as out:
            out.write(text)

sheet("f3", ["f0", "f1", "f2 --> x"], 8000, lambda r, f: "" if f == 0 else f"v{r}-{f}")
templates("f3", "<p>text <!-- f1 --> and <!-- f2 --> x -->, <!-- f0 --></p>\r\n", ["<!-- f1", "<!-- f2 -->"])
sheet("f16383", [f"f{f}" for f in range(16383)], 1, lambda r, f: "" if f == 0 else f"v{f}")
templates("f16383", "".join(f"<p>text <!-- f{f} --></p>\r\n" for f in range(0, 16383, 97)),
          ["<!-- f1", "<!-- f16382 -->"])
PY

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-8s %-7s %9s %9s %8s\n' sheet case seconds "peak KiB" "x plain"
for sheet in f3 f16383; do
  plain=
  for case in plain open begin inner mix empty; do
    : >"$work/times"
    for _ in $(seq "$runs"); do
      /usr/bin/time -o "$work/time" -f '%e %M' "$converter" "$work/$sheet.csv" "$work/$sheet-$case.html" \
        "$work/out.html" >/dev/null 2>&1 || true
      tail -n 1 "$work/time" >>"$work/times"
    done
    seconds=$(cut -d' ' -f1 "$work/times" | median)
    peak=$(cut -d' ' -f2 "$work/times" | median)
    [ -n "$plain" ] || plain=$seconds
    printf '%-8s %-7s %9s %9s %8s\n' "$sheet" "$case" "$seconds" "$peak" \
      "$(awk -v a="$seconds" -v b="$plain" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
  done
done
