#!/usr/bin/env bash
# Installs what is missing, builds a normal and a sanitizer tree, runs every test in both,
# then runs each fuzz target briefly over its seeds. Exits non-zero on any failure.
#   --all   also builds the 32-bit Linux and 32-bit Windows trees, runs their unit tests (the
#           32-bit Linux ones natively or under qemu-i386, the Windows ones under wine, or in a
#           64-bit Windows build under wine64 where 32-bit wine cannot start), starts the Windows
#           game under wine, packs and starts the three packages and checks that every build that
#           runs here writes the same chunk files for the same seed
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)
all=0
for argument in "$@"; do
  case "$argument" in
    --all) all=1 ;;
    *) echo "usage: $0 [--all]"; exit 2 ;;
  esac
done

./scripts/setup.sh
. scripts/build_env.sh

echo "== normal build (build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"

echo "== sanitizer build (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_SANITIZE=ON -DKESTROVA_BENCH=OFF -DKESTROVA_ASSETS=OFF >/dev/null
cmake --build build-asan -j "$jobs"

status=0

echo "== tests (normal build)"
# -noreset: an X server that resets whenever its last client leaves refuses the
# connections that arrive meanwhile, which made window tests fail at random.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --test-dir build --output-on-failure -j "$jobs" || status=1

echo "== tests (sanitizer build)"
# The end-to-end scripts drive the Release game; here the unit tests run under the sanitizers.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE e2e || status=1

echo "== layering check"
./scripts/check_layers.sh || status=1

echo "== benchmarks (every one once, to catch a broken bench.sh; timings are not judged)"
./bench.sh --quick || status=1

echo "== fuzz targets (build-fuzz/)"
if command -v clang++ >/dev/null 2>&1; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_FUZZ=ON \
    -DKESTROVA_TESTS=OFF -DKESTROVA_BENCH=OFF -DKESTROVA_ASSETS=OFF >/dev/null
  cmake --build build-fuzz -j "$jobs"
  for target in build-fuzz/tests/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    seeds="tests/fuzz/corpus/${name#fuzz_}"
    work=$(mktemp -d)
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
    echo "-- $name"
    if ! (cd build-fuzz && "../$target" -max_total_time=5 -print_final_stats=0 "$work" >"$work.log" 2>&1); then
      echo "fuzz target $name failed:"; tail -n 40 "$work.log"; status=1
    fi
    rm -rf "$work" "$work.log"
  done
else
  echo "clang++ not found; fuzz targets skipped"
fi

if [ "$all" -eq 1 ]; then
  echo "== 32-bit Linux build (build-i386/)"
  ./scripts/build_i386.sh --test || status=1
  echo "== 32-bit Windows build (build-win32/)"
  ./scripts/build_win32.sh --test || status=1
  echo "== the same chunk files from every build"
  ./scripts/compare_chunks.sh || status=1
  echo "== the three packages (dist/), unpacked and started"
  if ./scripts/package.sh; then
    unpacked=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-unpacked.XXXXXX")
    for tarball in dist/kestrova-linux-*.tar.gz; do
      tar -C "$unpacked" -xzf "$tarball"
      bash tests/e2e/package_start.sh "$unpacked/$(basename "$tarball" .tar.gz)" || status=1
    done
    (cd "$unpacked" && unzip -q "$OLDPWD/dist/kestrova-win32.zip")
    . scripts/cross_probe.sh
    if kestrova_wine32_runs; then
      bash tests/e2e/wine_game.sh "$unpacked/kestrova-win32" || status=1
    else
      echo "test.sh: skipped starting the 32-bit Windows package: 32-bit wine cannot start on this" \
        "kernel; the 64-bit Windows test build's game (build-win64/game) is started under wine64 instead"
      bash tests/e2e/wine_game.sh build-win64/game || status=1
    fi
    rm -rf "$unpacked"
  else
    status=1
  fi
fi

if [ "$status" -ne 0 ]; then
  echo "test.sh: FAILED"
fi
exit "$status"
