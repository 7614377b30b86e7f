#!/usr/bin/env bash
# Installs what is missing, builds and starts the player with its bundled
# data (build/bin holds the player, its data files and Settings.cfg).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
if [ -x build/bin/vidora ]; then
  exec build/bin/vidora "$@"
fi
echo "The player is not built yet; the data tool is:" >&2
exec build/bin/qdoc --help
