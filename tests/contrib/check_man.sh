#!/usr/bin/env bash
# Renders a manual page with man -l and fails on any warning of groff.
set -euo pipefail
page=$1
warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man -l --warnings=all "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  printf '%s: warnings:\n%s\n' "$page" "$warnings"
  exit 1
fi
MANWIDTH=80 LC_ALL=C.UTF-8 man -l "$page" | grep -q '^NAME' || { echo "$page: no NAME section"; exit 1; }
echo "$page: ok"
