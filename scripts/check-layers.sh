#!/usr/bin/env bash
# Lists every include that runs against the layers, and fails when there is one.
# Bottom to top: framework/, the portable playlist/ audio/ persist/ (which may
# use each other, and name <windows.h> only in their *_win.cpp files), then
# player/ tray/ print/ (none of them using another), then editor/, then app/.
# res/resource.h is shared by all.
set -uo pipefail
cd "$(dirname "$0")/.."
rank() {
  case $1 in
    res) echo 0 ;; framework) echo 1 ;; playlist|audio|persist) echo 2 ;;
    player|tray|print) echo 3 ;; editor) echo 4 ;; app) echo 5 ;; *) echo 99 ;;
  esac
}
bad=0
for file in $(git ls-files 'framework/*' 'playlist/*' 'audio/*' 'persist/*' 'player/*' 'tray/*' 'print/*' 'editor/*' 'app/*' | grep -E '\.(h|cpp)$'); do
  own=${file%%/*}
  while IFS= read -r inc; do
    dep=${inc%%/*}
    [ "$dep" = "$own" ] && continue
    r_own=$(rank "$own"); r_dep=$(rank "$dep")
    [ "$r_dep" = 99 ] && continue
    if [ "$r_dep" -gt "$r_own" ] || { [ "$r_dep" -eq "$r_own" ] && [ "$r_own" -ne 2 ]; }; then
      echo "layers: $file includes $inc"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  case $own in
    playlist|audio|persist)
      case $file in *_win.cpp) ;; *)
        if grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<windows\.h>' "$file" \
           && ! grep -qE '^[[:space:]]*#[[:space:]]*ifdef[[:space:]]+_WIN32' "$file"; then
          echo "layers: $file includes <windows.h> outside a *_win.cpp file"
          bad=1
        fi ;;
      esac ;;
  esac
done
[ $bad -eq 0 ] && echo "layers: every include runs downwards"
exit $bad
