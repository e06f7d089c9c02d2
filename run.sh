#!/usr/bin/env bash
# Installs what is needed, builds in Release and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev >/dev/null
cmake --build build/release -j "$(nproc)"
exec build/release/bin/brommelivantos "$@"
