#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
set -euo pipefail
# g++-multilib: the build compiles the public header with -m32 to check the
# parameter blocks' 32-bit layout.
needed=(cmake g++ g++-multilib make libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
        libtomlplusplus-dev libreadline-dev)
missing=()
for p in "${needed[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
