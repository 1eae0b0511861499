#!/usr/bin/env bash
# The layers, checked: each source folder may include only itself and the
# folders below it (support < modstore < ui < cli < the front-ends qt and
# win32, which never include each other), Qt only in qt/, its tests and the
# Linux start-up benchmark, and system #ifdefs only in the platform files.
# Prints every offending line; fails on any.
set -uo pipefail
cd "$(dirname "$0")/.."

rank() {
  case $1 in
    support) echo 0 ;; modstore) echo 1 ;; ui) echo 2 ;; cli) echo 3 ;; qt | win32) echo 4 ;; *) echo -1 ;;
  esac
}

bad=0
report() { echo "layering: $*"; bad=1; }

for folder in support modstore ui cli qt win32; do
  [ -d "$folder" ] || continue
  own=$(rank "$folder")
  while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    to=$(rank "$target")
    [ "$to" -lt 0 ] && continue  # not one of the layers
    if [ "$target" != "$folder" ] && [ "$to" -ge "$own" ]; then
      report "$file:$line includes $target/ from $folder/: $text"
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$folder" --include='*.h' --include='*.cpp' || true)
done

while IFS= read -r hit; do report "Qt outside qt/: $hit"; done < <(
  grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' --include='*.h' --include='*.cpp' \
    support modstore ui cli win32 tests bench 2>/dev/null | grep -Ev '^(tests/qt|bench/linux)/' || true)

while IFS= read -r hit; do report "system #if outside a platform file: $hit"; done < <(
  grep -rnE '^[[:space:]]*#[[:space:]]*if.*\b(_WIN32|__linux__|__unix__|_MSC_VER|Q_OS_[A-Z]+)\b' \
    --include='*.h' --include='*.cpp' support modstore ui cli qt win32 2>/dev/null | grep -v '/platform_[^/]*:' || true)

[ $bad -eq 0 ] && echo "layering: support < modstore < ui < cli < qt, win32: all includes point down"
exit $bad
