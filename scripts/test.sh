#!/usr/bin/env bash
# Builds everything and runs every test: the unit and integration suites (plain and under ASan and
# UBSan), the worker suites under ThreadSanitizer, a bounded fuzzing run, the formatting check and
# the demo on an optimised build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== build and test (debug)"
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== every suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== worker suites under ThreadSanitizer"
cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

echo "== fuzzing (bounded)"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs" --target pagoling_fuzz_text
ctest --test-dir build/fuzz --output-on-failure

echo "== optimised build and the demo (the README's main job)"
cmake --preset release
cmake --build --preset release -j "$jobs" --target pagoling-cli pagoling_data pagoling_bench
demo_dir=$(mktemp -d)
build/release/bin/pagoling-cli demo --dir "$demo_dir" | tee "$demo_dir/demo.log"
grep -q '连衣裙.htm  [0-9]* bytes' "$demo_dir/demo.log"
rm -rf "$demo_dir"

echo "All tests passed."
