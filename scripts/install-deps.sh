#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format pkg-config
  libicu-dev libcurl4-openssl-dev libcpp-httplib-dev nlohmann-json3-dev libssl-dev
  openssl libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev unicode-data
  qt6-base-dev qt6-webengine-dev fonts-wqy-microhei
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
else
  as_root=(sudo)
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
