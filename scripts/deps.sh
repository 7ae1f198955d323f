#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, skipping
# those already installed.
set -euo pipefail
pkgs="cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev \
libusb-1.0-0-dev libxcb1-dev gputils srecord clang libclang-rt-14-dev"
# A real X server and a key sender for the grid editor's X11 key check.
pkgs="$pkgs xvfb xdotool"
# A real window manager for the window places and title bars under Xvfb,
# and xwininfo to read where it put them.
pkgs="$pkgs openbox x11-utils"
# One font for the widget tests, so text metrics agree between machines.
pkgs="$pkgs fonts-dejavu-core"
# Qt's own translations: the standard dialogs in the chosen language.
pkgs="$pkgs qt6-translations-l10n"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
fi
