#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) straight from the computation sources, then runs
# each for a while. Exits non-zero on a build failure, a crash, a sanitizer
# report, a leak, a slow input (hang) or running out of memory.
#
# Usage: fuzz/run.sh [seconds per target]      (default 30)
# Needs: clang++ (clang-14) and libFuzzer's runtime (libclang-rt-14-dev).
# Output: build-fuzz/ (override with PX_FUZZ_DIR): binaries, the growing
# corpora and, on failure, the reproducing inputs (artifacts/).
set -u

secs=${1:-30}
case "$secs" in
    '' | *[!0-9]*) echo "usage: $0 [seconds per target]" >&2; exit 2 ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
out=${PX_FUZZ_DIR:-$root/build-fuzz}

cxx=${PX_FUZZ_CXX:-}
if [ -z "$cxx" ]; then
    for c in clang++ clang++-14; do
        if command -v "$c" >/dev/null 2>&1; then cxx=$c; break; fi
    done
fi
if [ -z "$cxx" ]; then
    echo "fuzz: no clang++ found (install clang-14 and libclang-rt-14-dev)" >&2
    exit 2
fi

mkdir -p "$out/artifacts" "$out/corpus/csv" "$out/corpus/numbers" "$out/corpus/project" "$out/corpus/section" "$out/corpus/dxf" || exit 2

# common/version.h, made from the project's VERSION and release date as the
# CMake build makes it.
version=$(sed -n 's/^project(Pillarix VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
released=$(sed -n 's/^set(PILLARIX_RELEASE_DATE "\(.*\)")/\1/p' "$root/CMakeLists.txt")
mkdir -p "$out/generated/common" || exit 2
sed -e "s/@PROJECT_VERSION@/$version/g" -e "s/@PILLARIX_RELEASE_DATE@/$released/g" \
    "$root/src/common/version.h.in" > "$out/generated/common/version.h" || exit 2

flags=(-std=c++20 -g -O1 -fno-omit-frame-pointer -ffp-contract=off
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -I"$root/src" -I"$out/generated")
numbers_src=("$root/src/input/numbers.cpp" "$root/src/input/error.cpp")
# A field's text converts through the field table, which names its caption
# and page; the defaults list the design codes' names.
fields_src=("$root/src/input/fields.cpp" "$root/src/input/field_names.cpp" "$root/src/input/field_defaults.cpp"
            "$root/src/codes/design_code.cpp")
csv_src=("${numbers_src[@]}" "${fields_src[@]}" "$root/src/common/read_file.cpp" "$root/src/loads/text_decode.cpp" "$root/src/loads/csv_import.cpp" "$root/src/loads/data_summary.cpp")
project_src=("$root/src/input/error.cpp" "${fields_src[@]}"
             "$root/src/project/json.cpp" "$root/src/project/project_file.cpp"
             "$root/src/geometry/geometry.cpp" "$root/src/geometry/section_file.cpp"
             "$root/src/geometry/dxf_reader.cpp" "$root/src/geometry/dxf_groups.cpp" "$root/src/input/numbers.cpp"
             "$root/src/geometry/source.cpp" "$root/src/loads/text_decode.cpp" "$root/src/common/read_file.cpp")
# The section-file reader checks its polygons with Boost.Geometry (headers
# only); a project keeps its custom section, read again as a section file or
# a DXF drawing.
section_src=("$root/src/input/error.cpp" "$root/src/geometry/geometry.cpp" "$root/src/geometry/section_file.cpp"
             "$root/src/loads/text_decode.cpp")
dxf_src=("${section_src[@]}" "$root/src/input/numbers.cpp" "$root/src/geometry/dxf_groups.cpp" "$root/src/geometry/dxf_reader.cpp")

echo "fuzz: building with $cxx"
"$cxx" "${flags[@]}" "$root/fuzz/fuzz_csv_import.cpp" "${csv_src[@]}" -o "$out/fuzz_csv_import" || exit 2
"$cxx" "${flags[@]}" "$root/fuzz/fuzz_numbers.cpp" "${numbers_src[@]}" -o "$out/fuzz_numbers" || exit 2
"$cxx" "${flags[@]}" "$root/fuzz/fuzz_project.cpp" "${project_src[@]}" -o "$out/fuzz_project" || exit 2
"$cxx" "${flags[@]}" "$root/fuzz/fuzz_section_file.cpp" "${section_src[@]}" -o "$out/fuzz_section_file" || exit 2
"$cxx" "${flags[@]}" "$root/fuzz/fuzz_dxf.cpp" "${dxf_src[@]}" -o "$out/fuzz_dxf" || exit 2

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

failed=0
run() {
    local name=$1 corpus=$2 seeds=$3 max_len=$4
    shift 4
    echo "fuzz: running $name for ${secs}s"
    # The outer limit catches a fuzzer that stops answering altogether.
    timeout --signal=KILL $((secs + 120)) \
        "$out/$name" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 \
        -max_len="$max_len" -print_final_stats=1 \
        -artifact_prefix="$out/artifacts/$name-" "$@" \
        "$out/corpus/$corpus" "$root/fuzz/seeds/$seeds" >"$out/$name.log" 2>&1
    local rc=$?
    tail -n 15 "$out/$name.log"
    if [ $rc -ne 0 ]; then
        echo "fuzz: $name FAILED (exit $rc); log: $out/$name.log" >&2
        failed=1
    else
        echo "fuzz: $name passed"
    fi
}

run fuzz_csv_import csv csv 65536 -dict="$root/fuzz/csv.dict"
run fuzz_numbers numbers numbers 4096
run fuzz_project project project 65536 -dict="$root/fuzz/json.dict"
run fuzz_section_file section section 16384 -dict="$root/fuzz/section.dict"
# Long enough for a line past the 4,096-character limit.
run fuzz_dxf dxf dxf 65536 -dict="$root/fuzz/dxf.dict"

exit $failed
