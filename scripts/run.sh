#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job with the bundled main directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export TAV_MAIN_DIR="$PWD/maindir"
if [ -x build/bin/tavcad ]; then
  exec build/bin/tavcad "$@"
fi
# No GUI host in this build yet: print the bundled configuration.
exec build/bin/tavtool config show "$@"
