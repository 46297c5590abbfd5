#!/bin/sh
# Installs the Debian packages the project needs; does nothing when all are present.
set -e
PACKAGES="build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev lld
 libgtest-dev libgmock-dev libbenchmark-dev
 libdevil-dev libgif-dev libpng-dev libjpeg-dev zlib1g-dev libdeflate-dev libogg-dev libtheora-dev libvorbis-dev
 libtinyxml2-dev libutfcpp-dev libsdl2-dev libgl-dev libegl-dev
 libgl1-mesa-dri libegl-mesa0 libgles2
 xvfb xauth xdotool imagemagick sox fonts-dejavu-core python3 clang-format strace procps"
# `setup.sh bench` adds what the benchmarks compare against (stb_image, psd-tools).
[ "$1" = "bench" ] && PACKAGES="$PACKAGES libstb-dev python3-psd-tools"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "setup: installing$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
