#!/usr/bin/env bash
# Installs what the build, the tests and the demo need from Debian's packages.
# Idempotent: when everything is present it prints nothing and touches nothing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools libqt6uitools6 libqt6opengl6-dev libgl-dev
    qt6-svg-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    tinyproxy fonts-noto-cjk
    # the package (cpack, dpkg-shlibdeps) and the tools its tests check it with
    dpkg-dev file lintian desktop-file-utils systemd man-db
)
# Extra packages a target asks for (make fuzz: clang and its libFuzzer).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
