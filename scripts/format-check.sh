#!/bin/sh
# Fails, naming the files, when a tracked C++ file is not laid out as .clang-format says.
# usage: format-check.sh CLANG_FORMAT (run from the source root)
set -u
FORMAT=$1
if [ -d .git ] || [ -f .git ]; then
    files=$(git ls-files '*.cpp' '*.h')
else
    files=$(find App Core Framework Platform Source tests bench fuzz tools -name '*.cpp' -o -name '*.h')
fi
# One run over every file; its complaints name file and line.
out=$("$FORMAT" --style=file --dry-run -Werror $files 2>&1)
if [ $? -ne 0 ]; then
    echo "not laid out as .clang-format says (run $FORMAT -i on them):"
    echo "$out" | grep -o '^[^:]*:[0-9]*:[0-9]*: error' | cut -d: -f1 | sort -u
    exit 1
fi
echo "every C++ file laid out as .clang-format says"
