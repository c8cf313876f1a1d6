#!/usr/bin/env bash
# Regenerates maindir/DefaultCfg.allcfg, the bundle that "恢复默认" imports, from the shipped
# maindir/Config.xml and maindir/UIConfig.xml and the settings of a new drawing, with the same export
# code as the dialogs (tavtool config export). Run it after changing either file; a test compares the
# committed bundle with a fresh export.
#   BUILD_DIR=build-x scripts/make-default-bundle.sh     (default build dir: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
TAVTOOL=${TAVTOOL:-$BUILD_DIR/bin/tavtool}
if [ ! -x "$TAVTOOL" ]; then
  cmake --build "$BUILD_DIR" --target tavtool
fi
# An empty user folder, so that FindFile finds the shipped files and not the user's copies.
empty=$(mktemp -d)
trap 'rm -rf "$empty"' EXIT
"$TAVTOOL" --main-dir "$PWD/maindir" --config-dir "$empty" config export "$PWD/maindir/DefaultCfg.allcfg"
echo "wrote maindir/DefaultCfg.allcfg"
