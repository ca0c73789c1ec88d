#!/usr/bin/env bash
# The logic library of each subsystem builds without Qt Widgets: none of its
# files includes a widget header (QtWidgets or QScintilla). Windows belong in
# the subsystem's ui/ folder.
# usage: logiclibraries_test.sh SOURCE_DIR QTWIDGETS_INCLUDE_DIR
set -u
src="$1/src"
widgets="$2"
[ -d "$widgets" ] || { echo "no QtWidgets include folder: $widgets"; exit 1; }
bad=0
checked=0
for dir in "$src"/*/ "$src"/app/contract/ "$src"/app/stores/; do
    case "$dir" in "$src"/app/|"$src"/ctl/) continue ;; esac
    for f in "$dir"*.h "$dir"*.cpp; do
        [ -f "$f" ] || continue
        checked=$((checked + 1))
        while IFS= read -r header; do
            name="${header#QtWidgets/}"
            if [ -e "$widgets/$name" ] || [ "$header" != "$name" ] || [[ "$header" == Qsci/* ]]; then
                echo "${f#$1/} includes the widget header <$header>"
                bad=1
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\([^>]*\)>.*/\1/p' "$f")
    done
done
[ "$checked" -gt 0 ] || { echo "no logic library files found under $src"; exit 1; }
echo "$checked logic library files checked"
exit $bad
