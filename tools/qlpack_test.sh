#!/bin/sh
# Drives qlpack as a user would: packs the two-file example, lists it, and checks that a failed
# build keeps the old pack and that a damaged pack or a bad command line fails.
# usage: qlpack_test.sh QLPACK WORK_FOLDER
set -eu
QLPACK=$1
WORK=$2
rm -rf "$WORK"
mkdir -p "$WORK/src/a"
cd "$WORK"
fail() { echo "qlpack_test: $*"; exit 1; }

printf bbb >src/b.txt
printf ccccc >src/a/c.txt
"$QLPACK" build src data.dat || fail "build failed"
[ -f data.dat ] || fail "no pack was written"
size=$(wc -c <data.dat)
[ "$size" -eq 80 ] || fail "the example pack is $size bytes, not 80"
"$QLPACK" list data.dat >list.txt || fail "list failed"
printf '%10d %10d %s\n' 5 72 a/c.txt 3 77 b.txt >expected.txt
cmp -s list.txt expected.txt || fail "unexpected listing: $(cat list.txt)"

cp data.dat good.dat
if "$QLPACK" build missing data.dat 2>/dev/null; then fail "packing a missing folder succeeded"; fi
cmp -s data.dat good.dat || fail "a failed build changed the old pack"
[ ! -e data.dat.tmp ] || fail "a failed build left its temporary file"

head -c 40 data.dat >cut.dat
if "$QLPACK" list cut.dat >/dev/null 2>&1; then fail "a damaged pack listed as sound"; fi
if "$QLPACK" list absent.dat 2>/dev/null; then fail "a missing pack listed as sound"; fi
if "$QLPACK" frobnicate 2>/dev/null; then fail "a bad command line succeeded"; fi
echo "qlpack_test: ok"
