#!/bin/sh
# The main job: builds the plug-ins for Linux and for Windows, then renders the LV2 demo.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
for preset in native windows; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done
tools/render-demo.sh build/native
