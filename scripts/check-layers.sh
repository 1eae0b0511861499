#!/usr/bin/env bash
# The layers, checked: each source folder may include only itself and the
# folders below it (support < game < modstore < ui < cli < the front-ends qt and
# win32, which never include each other), Qt only in qt/, its tests and the
# Linux start-up benchmark, system #ifdefs only in the platform files, and the
# system's own headers only in support/ and the front-ends.
# Prints every offending line; fails on any.
set -uo pipefail
cd "$(dirname "$0")/.."

rank() {
  case $1 in
    support) echo 0 ;; game) echo 1 ;; modstore) echo 2 ;; ui) echo 3 ;; cli) echo 4 ;; qt | win32) echo 5 ;; *) echo -1 ;;
  esac
}

bad=0
report() { echo "layering: $*"; bad=1; }

for folder in support game modstore ui cli qt win32; do
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
    support game modstore ui cli win32 tests bench 2>/dev/null | grep -Ev '^(tests/qt|bench/linux)/' || true)

while IFS= read -r hit; do report "system #if outside a platform file: $hit"; done < <(
  grep -rnE '^[[:space:]]*#[[:space:]]*if.*\b(_WIN32|__linux__|__unix__|_MSC_VER|Q_OS_[A-Z]+)\b' \
    --include='*.h' --include='*.cpp' support game modstore ui cli qt win32 2>/dev/null | grep -v '/platform_[^/]*:' || true)

while IFS= read -r hit; do report "a system header outside support/ and the front-ends: $hit"; done < <(
  grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows|winbase|shlobj|shellapi|unistd|pwd|fcntl|dirent|signal|dlfcn|sys/[a-z_]+)\.h>' \
    --include='*.h' --include='*.cpp' game modstore ui cli 2>/dev/null || true)

[ $bad -eq 0 ] && echo "layering: support < game < modstore < ui < cli < qt, win32: all includes point down"
exit $bad
