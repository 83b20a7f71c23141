#!/usr/bin/env bash
# Refreshes resources/translations/Ventaro-en.ts from every source and form (lupdate over the
# same folders the build and test_languages use). New texts come in unfinished and texts
# gone from the code are dropped; translate the unfinished ones (linguist, or by hand), then
# run ./test.sh: test_languages fails while any text is left untranslated.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages
root=$(ventaro_root)
if [ ! -f "$root/build/build.ninja" ]; then
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$root/build" --target update_translations
