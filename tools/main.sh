#!/bin/sh
# The main job: builds the plug-ins for Linux and for Windows, then renders the LV2 demo.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
for preset in native windows; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done
# The VST3 bundles both builds wrote.
ls build/native/tamber-velum.vst3/Contents/x86_64-linux/tamber-velum.so \
    build/windows/tamber-velum.vst3/Contents/x86_64-win/tamber-velum.vst3
tools/render-demo.sh build/native
