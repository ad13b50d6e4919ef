#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing,
# and any further packages named on the command line (scripts/deps.sh clang).
# --windows adds what the Windows builds and their run under Wine need: the
# mingw-w64 cross compilers (32- and 64-bit, with windres), Wine, a virtual
# display (Xvfb) and ImageMagick for the screenshots.
set -euo pipefail
windows=()
args=()
for a in "$@"; do
  if [ "$a" = "--windows" ]; then
    windows=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xauth
             imagemagick)
  else
    args+=("$a")
  fi
done
set -- "${args[@]+"${args[@]}"}" "${windows[@]+"${windows[@]}"}"
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
