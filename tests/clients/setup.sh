#!/usr/bin/env bash
# Installs the npm clients pinned here into DIR (the build's clients folder).
# npm itself comes from Debian when it is missing. Done again only when the
# lock file changed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$1
if ! command -v npm >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm
fi
mkdir -p "$dir"
if cmp -s "$here/package-lock.json" "$dir/package-lock.json" && [ -d "$dir/node_modules" ]; then
  exit 0
fi
cp "$here/package.json" "$here/package-lock.json" "$dir/"
cd "$dir"
npm ci --no-audit --no-fund --loglevel=error
