#!/bin/sh
# Photographs the program's windows into PNG files, as a user would see them
# on a desktop: the main window (with the example sheet opened, and again
# with an edit under way), the about box, the Convert dialog and the two
# sheet dialogs. Runs on a virtual X display, so it works without a desktop.
#
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR] [NAME ...]
#
# BUILD_DIR defaults to ./build, OUT_DIR to docs/screenshots; NAMEs pick
# single shots (see: BUILD_DIR/app/quillary-screenshots --list).
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
out=${2:-"$here/docs/screenshots"}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift

cmake --build "$build" -j2 --target quillary-screenshots
tool="$build/app/quillary-screenshots"

# The program's own platform plug-in, the one users get, on a screen of
# ordinary size.
exec xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24" \
  env QT_QPA_PLATFORM=xcb "$tool" --out "$out" --sample "$here/examples/sample.csv" "$@"
