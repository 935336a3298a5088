#!/bin/sh
# A page for every record: the converter's --each against the one-page
# conversion of the same sheet and against Python's csv module with jinja2
# writing the same files, as whole processes side by side, after a check
# that the converter's pages and Python's are byte-identical.
#   bench/pages_vs_python.sh CONVERTER [RUNS] [RECORDS]
# 10,000 records x 8 fields of UTF-8 through a 5 KB product page whose values
# are escaped (<!-- EscapeValues --> here, autoescape there): 10,000 files.
# Each run starts with an empty output folder. Python runs twice: as the
# script usually is, and then syncing the disk as the converter does before
# its pages take their places. Wall and CPU time both: the machine may be
# shared.
set -eu
converter=$1
runs=${2:-3}
records=${3:-10000}
. "$(dirname "$0")/support/work_dir.sh"

python3 - "$work" "$records" <<'PY'
import sys
work, records = sys.argv[1], int(sys.argv[2])
names = ["商品コード", "商品名", "価格", "分類", "説明", "在庫", "発売日", "産地"]
kinds = ["果物", "野菜", "菓子 & 飲み物", "調味料", "乾物"]
towns = ["青森", "愛媛", "和歌山", "北海道", "鹿児島"]

def record(i):
    return [f"P{i:05d}", f"商品{i} <限定>" if i % 7 == 0 else f"商品{i}", str(i * 131 % 100000),
            kinds[i % 5], f"甘くて新鮮な {kinds[i % 5]} です。数量 {i % 13} 箱 > 在庫 & 予約可",
            "在庫あり" if i % 3 else "取り寄せ", f"2024-{i % 12 + 1:02d}-{i % 28 + 1:02d}", towns[i % 5]]

with open(f"{work}/sheet.csv", "w", encoding="utf-8", newline="") as out:
    out.write(",".join(names) + "\r\n")
    for i in range(1, records + 1):
        out.write(",".join(record(i)) + "\r\n")

# The page: the fields among about 5 KB of fixed markup.
filler = "".join(f"<p class=\"note\">ご注文の前にお読みください。第 {n} 項: 送料、お届け日、返品の決まりはこのページの下に書いてあります。</p>\n"
                 for n in range(1, 27))
def page(tag):
    body = "".join(f"<tr><th>{name}</th><td>{tag(f)}</td></tr>\n" for f, name in enumerate(names))
    return (f"<!DOCTYPE html>\n<html lang=\"ja\">\n<head><meta charset=\"utf-8\"><title>商品のご案内</title>"
            f"<link rel=\"stylesheet\" href=\"site.css\"></head>\n<body>\n<header><a href=\"index.html\">一覧へ</a></header>\n"
            f"<main>\n<table>\n{body}</table>\n{filler}</main>\n<footer>Quillary shop</footer>\n</body>\n</html>\n")
ours = "<!-- EscapeValues -->" + page(lambda f: f"<!-- {names[f]} -->")
theirs = page(lambda f: f"{{{{ r[{f}] }}}}")
assert 5000 <= len(ours.encode("utf-8")) <= 6000, len(ours.encode("utf-8"))
for name, text in (("page.html", ours), ("all.html", "<!-- BeginRepeat * -->" + ours + "<!-- EndRepeat -->"),
                   ("page.j2", theirs)):
    with open(f"{work}/{name}", "w", encoding="utf-8", newline="") as out:
        out.write(text)
PY

cat > "$work/render.py" <<'PY'
import csv, os, sys, jinja2
sheet, template, folder = sys.argv[1:4]
with open(sheet, encoding="utf-8", newline="") as f:
    records = list(csv.reader(f))[1:]
with open(template, encoding="utf-8", newline="") as f:
    page = jinja2.Environment(autoescape=True, keep_trailing_newline=True).from_string(f.read())
for r in records:
    with open(os.path.join(folder, f"item-{r[0]}.html"), "w", encoding="utf-8", newline="") as f:
        f.write(page.render(r=r))
# The converter's pages are on the disk before any takes its place; "sync"
# asks the same of these.
if len(sys.argv) > 4 and sys.argv[4] == "sync":
    os.sync()
PY

# The floor: the same number of files of the same size, written without
# making anything.
cat > "$work/files.py" <<'PY'
import os, sys
folder, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = b"x" * size
for i in range(count):
    with open(os.path.join(folder, f"item-{i}.html"), "wb") as f:
        f.write(data)
PY

out="$work/out"
# Commands as time_commands.py splits them (shlex: the quotes hold the pattern's spaces).
pages="$converter --no-cell-limit --each 'item-<!-- 商品コード -->.html' --output-dir $out $work/sheet.csv $work/page.html"
one="$converter --no-cell-limit $work/sheet.csv $work/all.html $out/all.html"
python="python3 $work/render.py $work/sheet.csv $work/page.j2 $out"

mkdir -p "$work/ours" "$work/theirs"
"$converter" --no-cell-limit --each 'item-<!-- 商品コード -->.html' --output-dir "$work/ours" "$work/sheet.csv" "$work/page.html"
python3 "$work/render.py" "$work/sheet.csv" "$work/page.j2" "$work/theirs"
diff -r "$work/ours" "$work/theirs" >/dev/null
echo "$(ls "$work/ours" | wc -l) pages of $(wc -c <"$work/page.html") bytes of template from $(wc -c <"$work/sheet.csv")" \
  "bytes of CSV, identical to Python's ($(du -sk "$work/ours" | cut -f1) KiB)"
size=$(cat "$work"/ours/* | wc -c)
size=$((size / records))
rm -rf "$work/ours" "$work/theirs"
python3 "$(dirname "$0")/support/time_commands.py" "$runs" --fresh "$out" "converter --each" "$pages" \
  "converter, one page" "$one" "python csv + jinja2" "$python" "python, then sync" "$python sync" \
  "python, files alone" "python3 $work/files.py $out $records $size"
