#!/bin/sh
# Renders a few seconds of our plucked test signal through the Linux LV2
# bundle with lilv's lv2apply, at three settings, into DIST/demo/.
# usage: render-demo.sh NATIVE_BUILD_DIR DIST_DIR
set -eu
build=$1
# lilv takes only absolute bundle paths.
dist=$(cd "$2" && pwd)
uri=urn:morvo-phonics:vellomarquin-overdrive
demo="$dist/demo"
mkdir -p "$demo"
"$build/tests/test_signal_wav" "$demo/input.wav" 6 48000

render() {
  name=$1
  shift
  LV2_PATH="$dist/linux" lv2apply -i "$demo/input.wav" -o "$demo/$name.wav" "$@" "$uri"
}
render clean-boost -c drive 10 -c tone 60 -c heat 50 -c mix 100 -c volume 110 -c enabled 1
render crunch -c drive 60 -c tone 55 -c heat 40 -c mix 100 -c volume 90 -c enabled 1
render full-drive -c drive 100 -c tone 35 -c heat 20 -c mix 80 -c volume 70 -c enabled 1
echo "demo: the input and three renderings are in $demo/"
