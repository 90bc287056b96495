#!/bin/sh
# Every test: native Release, native ASan/UBSan, the Windows build under wine, the threaded suites
# under ThreadSanitizer, the decoder fuzzers and the editor page in headless Chromium.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
for preset in native native-asan windows; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
cmake --preset native-tsan
cmake --build --preset native-tsan
ctest --preset native-tsan -L threads
# The editor page in headless Chromium; npm ci installs the pinned browser driver.
(cd tests/page && npm ci --no-audit --no-fund && npm test)
# The state decoders under libFuzzer with ASan/UBSan, about 20 s each; any finding fails.
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz
