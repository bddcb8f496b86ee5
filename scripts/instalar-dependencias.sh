#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Lumaro needs, and prepares
# the bits of the system that the packages leave undone when no service manager runs.
set -euo pipefail

pacotes=(
  cmake g++ ninja-build pkg-config git
  qt6-base-dev libgl-dev
  firebird3.0-server-core firebird3.0-utils firebird-dev firebird3.0-server
  libzip-dev libcurl4-openssl-dev zip unzip
  poppler-utils xvfb xauth fonts-wine fonts-dejavu-core fontconfig
  python3 python3-aiosmtpd python3-stdnum
  libgtest-dev googletest
  clang libclang-rt-14-dev
)

falta=()
for p in "${pacotes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || falta+=("$p")
done

if ((${#falta[@]})); then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  echo "Instalando pacotes: ${falta[*]}"
  $sudo apt-get update -qq
  # A fixed SYSDBA password for the packaged server; the tests that use a real server rely on it.
  echo "firebird3.0-server shared/firebird/sysdba_password/first_install password masterkey" | $sudo debconf-set-selections
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${falta[@]}"
fi

# Tahoma (metric-compatible) ships with fonts-wine in a folder fontconfig does not scan.
if [ -d /usr/share/wine/fonts ] && [ ! -f /etc/fonts/conf.d/99-lumaro-wine-fonts.conf ] && [ -w /etc/fonts/conf.d ]; then
  printf '<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n<fontconfig><dir>/usr/share/wine/fonts</dir></fontconfig>\n' \
    > /etc/fonts/conf.d/99-lumaro-wine-fonts.conf
  fc-cache -f >/dev/null 2>&1 || true
fi

# Firebird's lock folder must belong to the server's account, or the server cannot start once
# an embedded process (running as root) has created it first.
if id firebird >/dev/null 2>&1 && [ "$(id -u)" = 0 ]; then
  install -d -o firebird -g firebird -m 0770 /tmp/firebird
fi
