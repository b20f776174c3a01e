#!/usr/bin/env bash
# The main job: a complete generation on the sandbox platform, headless. Pages land in
# ./pagoling-demo (or the folder given with --dir).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/install-deps.sh"
cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" -j "$(nproc)" --target pagoling-cli pagoling_data
exec "$root/build/release/bin/pagoling-cli" demo "$@"
