#!/bin/sh
# Renders a demo through the built Linux LV2 bundle with a real LV2 host (lv2apply): a sawtooth
# with pink noise through three settings with the LFO moving, each as a WAV and a spectrogram PNG.
# Usage: tools/render-demo.sh [build folder, default build/native]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/native}
[ -d "$build" ] || { echo "render-demo: no build folder $build" >&2; exit 1; }
bundles=$(realpath "$build")/lv2-bundles
out=build/demo
if [ ! -f "$bundles/tamber-velum.lv2/manifest.ttl" ]; then
    echo "render-demo: no LV2 bundle in $bundles; build the native preset first" >&2
    exit 1
fi
uri=$(sed -n 's/^#define VELUM_LV2_URI "\(.*\)"$/\1/p' lv2/uris.h)
mkdir -p "$out"

# Six seconds of a 110 Hz sawtooth mixed with pink noise: energy across the whole swept band.
sox -q -n -r 48000 -c 1 -b 32 -e floating-point "$out/input.wav" \
    synth 6 sawtooth 110 synth 6 pinknoise mix gain -8
# Only the band the filter sweeps (about 400 Hz to 2.2 kHz) matters: draw up to 5.5 kHz.
draw() {
    sox -V1 "$1" -n rate 11025 spectrogram -x 1200 -y 400 -z 90 -t "$2" -o "${1%.wav}.png"
}
draw "$out/input.wav" "input: 110 Hz sawtooth + pink noise"

# name cutoff lfo_amt lfo_speed
while read -r name cutoff amt speed; do
    # lv2apply offers no URID map, so the plug-in says so on standard error: keep that in a log.
    if ! LV2_PATH="$bundles" lv2apply -i "$out/input.wav" -o "$out/$name.wav" \
        -c cutoff "$cutoff" -c lfo_amt "$amt" -c lfo_speed "$speed" "$uri" 2>"$out/$name.log"; then
        cat "$out/$name.log" >&2
        exit 1
    fi
    draw "$out/$name.wav" "Velum $name: cutoff $cutoff, lfo_amt $amt, lfo_speed $speed"
done <<SETTINGS
slow-deep-sweep 8 15 0
medium-sweep 12 10 2
fast-shallow-sweep 4 8 6
SETTINGS

echo "Demo rendered through $bundles/tamber-velum.lv2 with lv2apply:"
for f in "$out"/*.wav; do
    echo "  $(realpath "$f")  (spectrogram: $(realpath "${f%.wav}.png"))"
done
