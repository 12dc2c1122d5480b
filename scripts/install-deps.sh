#!/bin/sh
# Installs, with apt-get, whatever the build and the tests need and this Debian 12
# machine lacks.  Does nothing when everything is present.
set -eu

packages="
  make cmake g++ gcc binutils
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  wine64 xvfb xauth
  googletest libbenchmark-dev
  clang libclang-rt-14-dev
  lv2-dev lilv-utils sordi
  valgrind
  chromium
"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing="$missing $p"
  fi
done

if [ -n "$missing" ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "install-deps: missing packages:$missing (run as root to install them)" >&2
    exit 1
  fi
  echo "install-deps: installing$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  # shellcheck disable=SC2086
  apt-get install -y -q $missing
fi

# The editor page's browser tests drive Debian's Chromium with playwright-core
# (no browser download), which needs Node.js 20 or later.
if ! command -v node >/dev/null 2>&1; then
  echo "install-deps: installing nodejs"
  apt-get update -q
  apt-get install -y -q nodejs npm
fi
web_tests=$(cd "$(dirname "$0")/../tests/web" && pwd)
stamp="$web_tests/node_modules/.package-lock.json"
if [ ! -f "$stamp" ] || [ "$web_tests/package-lock.json" -nt "$stamp" ]; then
  echo "install-deps: installing the web tests' npm packages"
  (cd "$web_tests" && npm ci --no-audit --no-fund)
fi
