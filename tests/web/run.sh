#!/bin/sh
# Runs the editor page's browser tests in Debian's Chromium.
# Usage: tests/web/run.sh [screenshot folder]   (default: <repo>/build/web)
# Needs: the chromium package, and `npm ci` run in tests/web.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
shots=${1:-$repo/build/web}

if [ ! -x /usr/bin/chromium ]; then
  echo "tests/web: /usr/bin/chromium is missing (apt-get install chromium)" >&2
  exit 1
fi
if [ ! -d "$here/node_modules/playwright-core" ]; then
  echo "tests/web: playwright-core is missing (run npm ci in tests/web)" >&2
  exit 1
fi

mkdir -p "$shots"
VO_SCREENSHOT_DIR=$(cd "$shots" && pwd)
export VO_SCREENSHOT_DIR

echo "tests/web: screenshots go to $VO_SCREENSHOT_DIR"
cd "$here"
exec node --test --test-concurrency=1 parameters.test.js news.test.js layout.test.js
