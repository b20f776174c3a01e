#!/usr/bin/env bash
# The main job: a complete generation on the sandbox platform, headless.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"

if [ ! -x build/release/bin/pagoling-cli ]; then
  echo "The headless command line (pagoling-cli) is not built yet: the demo arrives with it."
  exit 0
fi
exec build/release/bin/pagoling-cli demo "$@"
