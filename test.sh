#!/usr/bin/env bash
# Runs every test: the suite in the C locale and in a locale with "," as decimal separator,
# then once more built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/install-deps.sh"
jobs="$(nproc)"

echo "== Build"
"$root/scripts/build.sh" "$root/build"
echo "== Tests (C locale)"
(cd "$root/build" && LC_ALL=C ctest --output-on-failure -j"$jobs")
echo "== Tests (cs_CZ.UTF-8, decimal comma)"
(cd "$root/build" && LC_ALL=cs_CZ.UTF-8 ctest --output-on-failure -j"$jobs")

echo "== Build with sanitizers"
# The window tests run once, in the plain build.
"$root/scripts/build.sh" "$root/build-asan" -DTARVIK_SANITIZE=ON -DTARVIK_BENCHMARKS=OFF -DTARVIK_GUI=OFF
echo "== Tests with sanitizers"
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
   LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
   LC_ALL=C ctest --output-on-failure -j"$jobs")
