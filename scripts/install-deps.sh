#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again:
# it installs only what is missing and generates the test locale once.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  clang libclang-rt-dev
  locales
  libwxgtk3.2-dev wx3.2-i18n xvfb xauth fonts-liberation ccache
  libzip-dev libpugixml-dev libexpat1-dev
  libcairo2-dev libpng-dev poppler-utils
  libcurl4-openssl-dev python3-pyftpdlib python3-openssl openssl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The number-text tests also run under a locale whose decimal separator is ",".
if ! locale -a 2>/dev/null | grep -qi '^cs_CZ\.utf-\?8$'; then
  echo "Generating locale cs_CZ.UTF-8"
  if [ -f /etc/locale.gen ] && ! grep -q '^cs_CZ.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'cs_CZ.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null 2>&1 || $SUDO localedef -i cs_CZ -f UTF-8 cs_CZ.UTF-8
fi
