#!/usr/bin/env bash
# Fails when a file under engine/ includes Qt or a shell header: the engine reaches the
# outside only through its host services interface.
set -u
root="$1"
hits=$(grep -rnE '^\s*#\s*include\s*[<"](Q[A-Za-z]|Qt|shell/|graphs/|spss/)' "$root/engine" || true)
if [ -n "$hits" ]; then
  echo "engine files include host-side headers:"
  echo "$hits"
  exit 1
fi
echo "engine includes: clean"
