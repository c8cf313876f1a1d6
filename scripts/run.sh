#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job: the CAD host tavcad with the bundled main
# directory and its sample drawing. Without a desktop session (no DISPLAY or WAYLAND_DISPLAY) tavcad
# runs under xvfb-run on a virtual screen. Extra arguments go to tavcad (or to tavtool, see below).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export TAV_MAIN_DIR="$PWD/maindir"
if [ -x build/bin/tavcad ]; then
  sample="$TAV_MAIN_DIR/Samples/给排水示例.dxf"
  args=(--main-dir "$TAV_MAIN_DIR")
  if [ "$#" -eq 0 ] && [ -f "$sample" ]; then
    args+=("$sample")
  fi
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no desktop session (DISPLAY is not set): starting tavcad under xvfb-run on a virtual screen" >&2
    exec xvfb-run -a -s "-screen 0 1600x1000x24" build/bin/tavcad "${args[@]}" "$@"
  fi
  exec build/bin/tavcad "${args[@]}" "$@"
fi
# No GUI host in this build: print the bundled configuration.
exec build/bin/tavtool config show "$@"
