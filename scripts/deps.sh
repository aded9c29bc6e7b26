#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need; quiet when they are all there.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qtbase5-dev libqt5serialport5-dev libqt5serialbus5-dev qttools5-dev-tools
    python3-pymodbus python3-serial python3-serial-asyncio mbpoll socat
    fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
