#!/usr/bin/env bash
# Installs what is missing, builds, lays out the program folder (build/program) and sizes the
# example positions of the README with tarvik-cli, then starts the desktop program with the
# demo project when a display is available.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
program="$root/build/program"
echo "Program folder: $program"
for example in "$root"/examples/*.json; do
  [ -e "$example" ] || continue
  echo
  echo "== $(basename "$example")"
  "$program/tarvik-cli" size "$example" --log "$program/vypocet.txt" || true
done
if [ -f "$program/vypocet.txt" ]; then
  echo
  echo "Calculation log of the last example: $program/vypocet.txt"
fi
if [ -f "$program/Demo.tkp" ]; then
  echo
  echo "== Demo.tkp (tarvik-cli calc)"
  "$program/tarvik-cli" calc "$program/Demo.tkp" --log "$program/vypocet.txt" || true
fi

echo
if [ -n "${DISPLAY:-}" ] && [ -x "$program/tarvik" ]; then
  echo "== Starting tarvik with the demo project"
  exec "$program/tarvik" "$program/Demo.tkp"
else
  echo "No display (DISPLAY is not set): the desktop program was not started."
  echo "Start it later with: $program/tarvik $program/Demo.tkp"
fi
