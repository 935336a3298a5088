# Sourced by the benchmark scripts: $work is the folder for their generated
# files, BENCH_WORK if set (the files are kept there, for a profiler), or a
# temporary folder removed at the end.
if [ -n "${BENCH_WORK:-}" ]; then
  work=$BENCH_WORK
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
