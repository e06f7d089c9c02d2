#!/usr/bin/env bash
# Runs every test of a GoogleTest binary in a process of its own. The main
# window tests share process-wide toolkit state that one test can leave
# behind for the next.
set -u
bin=$1
failed=0
suite=""
while IFS= read -r line; do
  if [[ $line =~ ^([A-Za-z0-9_]+)\.$ ]]; then suite=${BASH_REMATCH[1]}; continue; fi
  name=$(echo "$line" | awk '{print $1}')
  [ -n "$name" ] || continue
  if ! "$bin" --gtest_also_run_disabled_tests --gtest_filter="$suite.$name"; then
    echo "FAILED: $suite.$name"
    failed=1
  fi
done < <("$bin" --gtest_also_run_disabled_tests --gtest_list_tests | grep -v '^Running main')
exit $failed
