#!/usr/bin/env bash
# Makes the README's pictures of printed output with the commands the README shows:
# docs/sheet.png (the landscape calculation sheet of the demo position FV-101, from the PDF of
# `tarvik-cli print`) and docs/drawing.png (its dimension drawing from `tarvik-cli drawing`), after
# `tarvik-cli spec apply` has completed its specification with the first fitting actuator.
# Needs a build (./run.sh) and pdftoppm (poppler-utils).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="$root/build/program/tarvik-cli"
demo="$root/build/program/Demo.tkp"
[ -x "$cli" ] || { echo "build first (./run.sh)" >&2; exit 1; }
command -v pdftoppm >/dev/null || { echo "needs pdftoppm (apt-get install poppler-utils)" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$demo" "$work/Demo.tkp"
demo="$work/Demo.tkp"
"$cli" spec apply "$demo" --position FV-101 --actuator-kind 0 --actuator-row 0 --save --lang 2 >/dev/null
"$cli" print "$demo" --pdf "$work/sheet.pdf" --landscape --position FV-101 --lang 2
pdftoppm -r 100 -png -singlefile "$work/sheet.pdf" "$work/sheet"
"$cli" drawing "$demo" --position FV-101 --out "$work/drawing.png" --lang 2
mkdir -p "$root/docs"
cp "$work/sheet.png" "$root/docs/sheet.png"
cp "$work/drawing.png" "$root/docs/drawing.png"
echo "wrote docs/sheet.png and docs/drawing.png"
