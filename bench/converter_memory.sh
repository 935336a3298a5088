#!/bin/sh
# Peak memory of the converter with --no-cell-limit on CSV files of unusual
# shapes, against each file's size: the figures the README and --help give.
#   bench/converter_memory.sh CONVERTER
# 1,000,000 records x 8 fields (about 100 MB); 1,000,000 records of 5 short
# fields; 10,000,000 records of 3 empty fields; 1,000,000 fields in the name line; a
# 100 MB name line of commas. Each through a template that fills a few
# placeholders, the output written to a file.
set -eu
converter=$1
. "$(dirname "$0")/support/work_dir.sh"

python3 - "$work" <<'PY'
import sys
work = sys.argv[1]

def write(name, lines):
    with open(f"{work}/{name}.csv", "w", encoding="utf-8", newline="") as out:
        for line in lines:
            out.write(line + "\r\n")

family = ["佐藤", "鈴木", "高橋", "田中"]
write("records8", ["f0,f1,f2,f3,f4,f5,f6,f7"] +
      [f"{i},{family[i % 4]} 太郎,千代田区{i % 97}-{i % 13},03-{i % 10000:04d},u{i}@example.jp,{i * 131 % 100000},"
       f"2024-{i % 12 + 1:02d}-{i % 28 + 1:02d},在庫あり" for i in range(1000000)])
write("short5", ["f0,f1,f2,f3,f4"] + [f"{i % 10},a,{i % 7},b,c" for i in range(1000000)])
write("empty", ["f0,f1,f2"] + [",,"] * 10000000)
write("names", [",".join(f"f{i}" for i in range(1000000)), "x"])
with open(f"{work}/commas.csv", "w", newline="") as out:
    out.write("f0" + "," * (100 * 1024 * 1024) + "\r\nx\r\n")
with open(f"{work}/template.html", "w", newline="") as out:
    out.write("<p><!-- f0 --> <!-- f1 --> <!-- f2 --></p>\r\n<!-- BeginRepeat 100 --><!-- f0 -->,<!-- EndRepeat -->\r\n")
PY

printf '%-10s %12s %12s %8s\n' csv "file bytes" "peak KiB" "x file"
for csv in records8 short5 empty names commas; do
  bytes=$(stat -c %s "$work/$csv.csv")
  /usr/bin/time -o "$work/time" -f '%M' "$converter" --no-cell-limit "$work/$csv.csv" "$work/template.html" \
    "$work/out.html" >/dev/null 2>"$work/err" || { echo "$csv: $(cat "$work/err")"; }
  peak=$(tail -n 1 "$work/time")
  printf '%-10s %12s %12s %8s\n' "$csv" "$bytes" "$peak" "$(awk -v p="$peak" -v b="$bytes" 'BEGIN { printf "%.1f", (p * 1024 / b) }')"
done
