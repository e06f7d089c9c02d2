#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: the Release suite, the
# AddressSanitizer + UndefinedBehaviorSanitizer suite, the ThreadSanitizer run
# of the threaded tests, a short run of every fuzz target, and a smoke run of
# the benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=${JOBS:-$(nproc)}
FUZZ_SECONDS=${FUZZ_SECONDS:-15}

scripts/deps.sh

configure() {  # build-dir, extra cmake args...
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja -Wno-dev "$@" >/dev/null
}

step() { printf '\n== %s ==\n' "$*"; }

step "Release build and tests"
configure build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$JOBS"
(cd build/release && ctest --output-on-failure -j "$JOBS")

step "Benchmarks, smoke run"
for b in build/release/bin/bench_*; do
  [ -x "$b" ] || continue
  "$b" --benchmark_min_time=0.01 >/dev/null
  echo "ran $(basename "$b")"
done

CLANG=(-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)

step "AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
configure build/asan "${CLANG[@]}" -DCMAKE_BUILD_TYPE=Debug -DBROM_SANITIZE="address;undefined" -DBROM_BUILD_BENCH=OFF
cmake --build build/asan -j "$JOBS"
# Fontconfig keeps process-wide caches that it never frees; they are not ours.
(cd build/asan && LSAN_OPTIONS=suppressions=$ROOT/tests/ui/lsan.supp ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j "$JOBS")

step "ThreadSanitizer run of the threaded tests"
configure build/tsan "${CLANG[@]}" -DCMAKE_BUILD_TYPE=Debug -DBROM_SANITIZE=thread -DBROM_BUILD_BENCH=OFF
cmake --build build/tsan -j "$JOBS" --target brom_threaded_tests
(cd build/tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --output-on-failure -L threads -j "$JOBS")

step "Fuzz targets, ${FUZZ_SECONDS}s each"
configure build/fuzz "${CLANG[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBROM_FUZZ=ON -DBROM_BUILD_TESTS=OFF -DBROM_BUILD_BENCH=OFF -DBROM_BUILD_GUI=OFF
cmake --build build/fuzz -j "$JOBS" --target brom_fuzzers
for f in build/fuzz/bin/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus="$ROOT/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  "$f" -max_total_time="$FUZZ_SECONDS" -print_final_stats=0 "$work" 2>"$work.log" || { tail -50 "$work.log"; exit 1; }
  echo "fuzzed $name: $(ls "$work" | wc -l) corpus entries, no crash"
  rm -rf "$work" "$work.log"
done

echo
echo "All test stages passed."
