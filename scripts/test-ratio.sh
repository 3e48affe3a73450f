#!/usr/bin/env bash
# Prints the non-blank lines of test code and of product code, and their ratio.
# Tests: every source file under tests/ (C++, C, shell, Python; golden images,
# corpora and CMake files are not code). Code: the .cpp and .h files of the
# platform, the product, the renderer and the host. Files git ignores are left out.
# With --max R it exits 1 when the ratio is above R.
set -euo pipefail
max=""
if [ "${1:-}" = "--max" ] && [ -n "${2:-}" ]; then
    max=$2
elif [ $# -ne 0 ]; then
    echo "usage: scripts/test-ratio.sh [--max RATIO]" >&2
    exit 2
fi
cd "$(dirname "$0")/.."

count() {
    git ls-files --cached --others --exclude-standard -- "$@" | while IFS= read -r file; do
        [ -f "$file" ] && cat -- "$file"
    done | grep -cv '^[[:space:]]*$' || true
}

tests=$(count 'tests/*.cpp' 'tests/*.cc' 'tests/*.c' 'tests/*.h' 'tests/*.hpp' 'tests/*.sh' 'tests/*.py')
code_patterns=()
for module in platform widget marquee legacy resources render host; do
    code_patterns+=("${module}/*.cpp" "${module}/*.h")
done
code=$(count "${code_patterns[@]}")
echo "tests: ${tests} non-blank lines"
echo "code:  ${code} non-blank lines"
awk -v t="$tests" -v c="$code" -v max="$max" 'BEGIN {
    if (c == 0) { print "ratio: n/a"; exit 1 }
    printf "ratio: %.2f\n", t / c
    if (max != "" && t / c > max + 0) { printf "above the limit of %s\n", max; exit 1 }
}'
