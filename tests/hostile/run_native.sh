#!/usr/bin/env bash
# Builds the pure path text work natively with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs its test.
#   run_native.sh <source folder> <output folder> [input count]
set -euo pipefail
source_dir=$1
out=$2
mkdir -p "$out"
${CXX_NATIVE:-g++} -std=c++17 -O1 -g -Wall -Wextra -Werror -fsanitize=address,undefined -fno-sanitize-recover=all \
    -fno-omit-frame-pointer -I"$source_dir" -I"$source_dir/paths" \
    "$source_dir/tests/hostile/native_path_text_test.cpp" "$source_dir/paths/text.cpp" -o "$out/native_path_text_test"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    "$out/native_path_text_test" "${3:-200000}"
