#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing,
# and any further packages named on the command line (scripts/deps.sh clang).
set -euo pipefail
# libcairo2-dev draws the window pictures (libfontconfig-dev finds their
# fonts); fonts-liberation gives Liberation Sans, the installed font whose
# metrics match the dialogs' sans-serif font. nlohmann-json3-dev writes the
# tools' JSON output (and reads it back in their tests). g++-multilib: the build compiles
# the public header with -m32 to check the parameter blocks' 32-bit layout.
# pkg-config finds Cairo, and the installed package in the consumer test.
needed=(cmake g++ g++-multilib make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
        libtomlplusplus-dev libreadline-dev libcairo2-dev libfontconfig-dev
        fonts-liberation nlohmann-json3-dev "$@")
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
