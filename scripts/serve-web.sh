#!/usr/bin/env bash
# Serves the built web page (build/web/page, made by scripts/test-web.sh or
# web/build.sh) on 127.0.0.1 until Ctrl-C: open the address it prints.
#
# Usage: scripts/serve-web.sh [PORT]   (default 8024)
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8024}
if [[ ! -f build/web/page/index.html ]]; then
  echo "serve-web: no build/web/page/index.html; build it with scripts/test-web.sh" >&2
  exit 1
fi
echo "http://127.0.0.1:$port/"
exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory build/web/page "$port"
