#!/bin/sh
# The batch converter against Python's csv module with jinja2 making the same
# page, as whole processes side by side: time and peak memory of each, and a
# check that both pages are byte-identical.
#   bench/batch_vs_python.sh CONVERTER [RUNS]
# Two cases: a CP932 sheet at the window's cell limit (4,095 records x 7
# fields) through a repeat block, and 1,000,000 records x 8 fields of UTF-8
# (about 100 MB) through a "*" block with --no-cell-limit.
set -eu
converter=$1
runs=${2:-3}
. "$(dirname "$0")/support/work_dir.sh"

python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
family = ["佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村"]
given = ["太郎", "花子", "一郎", "美咲", "健", "さくら", "翔太", "陽菜"]
town = ["千代田区", "大阪市北区", "札幌市中央区", "博多区", "名古屋市"]

def record(i, fields):
    values = [str(i), family[i % 8] + " " + given[i * 7 % 8], town[i % 5] + f"{i % 97}-{i % 13}",
              f"03-{i % 10000:04d}-{i * 37 % 10000:04d}", f"u{i}@example.jp", str(i * 131 % 100000),
              f"2024-{i % 12 + 1:02d}-{i % 28 + 1:02d}", "在庫あり" if i % 3 else "取り寄せ"]
    return values[:fields]

def write(name, records, fields, encoding, count):
    names = [f"f{f}" for f in range(fields)]
    with open(f"{work}/{name}.csv", "w", encoding=encoding, newline="") as out:
        out.write(",".join(names) + "\r\n")
        for i in range(1, records + 1):
            out.write(",".join(record(i, fields)) + "\r\n")
    cells = "".join(f"<td><!-- {n} --></td>" for n in names)
    ours = f"<table>\r\n<!-- BeginRepeat {count} -->\r\n<tr>{cells}</tr><!-- EndRepeat -->\r\n</table>\r\n"
    cells = "".join(f"<td>{{{{ r[{f}] }}}}</td>" for f in range(fields))
    theirs = "<table>\r\n{% for r in records %}\r\n<tr>" + cells + "</tr>{% endfor %}\r\n</table>\r\n"
    for suffix, text in (("html", ours), ("j2", theirs)):
        with open(f"{work}/{name}.{suffix}", "w", encoding=encoding, newline="") as out:
            out.write(text)

write("limit", 4095, 7, "cp932", 4095)
write("big", 1000000, 8, "utf-8", "* 全件")
PY

cat > "$work/render.py" <<'PY'
import csv, sys, jinja2
sheet, template, output, encoding = sys.argv[1:5]
with open(sheet, encoding=encoding, newline="") as f:
    records = list(csv.reader(f))[1:]
with open(template, encoding=encoding, newline="") as f:
    page = jinja2.Environment(autoescape=False, keep_trailing_newline=True, newline_sequence="\r\n").from_string(f.read())
with open(output, "w", encoding=encoding, newline="") as f:
    f.write(page.render(records=records))
PY

# One case: both programs once to check the pages, then RUNS timed rounds.
compare() {  # name encoding [converter options]
  name=$1 encoding=$2
  shift 2
  ours="$converter $* $work/$name.csv $work/$name.html $work/$name.ours"
  theirs="python3 $work/render.py $work/$name.csv $work/$name.j2 $work/$name.theirs $encoding"
  $ours
  $theirs
  cmp "$work/$name.ours" "$work/$name.theirs"
  echo "$name: $(wc -c <"$work/$name.csv") bytes of CSV, $(wc -c <"$work/$name.ours") bytes of page, identical"
  python3 "$(dirname "$0")/support/time_commands.py" "$runs" "$name converter" "$ours" "$name python" "$theirs"
}
compare limit cp932
[ "${SKIP_BIG:-}" ] || compare big utf-8 --no-cell-limit
