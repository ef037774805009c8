#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job of ambience-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build -DAMBIENCE_TESTS=OFF -DAMBIENCE_BENCH=OFF
exec build/bin/ambience-cli help
