#!/usr/bin/env bash
# Installs a build into a temporary prefix, checks what landed there, and builds and runs a
# project of its own against it with find_package(Tandemix).
#
#   install_tree_test.sh CMAKE BUILD_DIR CONSUMER_SOURCE GENERATOR CXX BUILD_TYPE APP_BUILT
# CXX flags for the consumer (a sanitizer build needs its own) come from
# TANDEMIX_CONSUMER_CXX_FLAGS.
set -euo pipefail

cmake=$1 build=$2 consumer=$3 generator=$4 cxx=$5 build_type=$6 app_built=$7
work=$(mktemp -d "${TMPDIR:-/tmp}/tandemix-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; exit 1; }

expect_file() {
    [[ -f $prefix/$1 ]] || fail "not installed: $1"
}

expect_none() {
    local found
    found=$(cd "$prefix" && find . -path "./$1" | head -n 3)
    [[ -z $found ]] || fail "installed but should not be: $found"
}

# The programs' other files, package by package, are debian_packages_test.sh's to check.
expect_file bin/tandemix-cli
for header in base/OptionMap.h document/TextDocument.h diff/DifferenceEngine.h \
    report/ResultContainer.h run/Comparison.h run/CompareRequest.h run/RunContext.h; do
    expect_file "include/tandemix/$header"
done
# Internals stay private to their layer, the front ends' headers private to them.
for private in report/ByteScan.h report/PageFragments.h report/ChunkedOutput.h \
    report/ReportWriter.h diff/MyersSearch.h web/CurlHandles.h run/ComparisonRun.h \
    run/CompareCommand.h run/TreeRun.h run/InputLoading.h cli desktop app; do
    expect_none "include/tandemix/$private"
done
expect_none "bin/*_tests"
expect_none "bin/tandemix-bench*"
for name in TandemixConfig.cmake TandemixConfigVersion.cmake libtandemix_run.a; do
    [[ -n $(cd "$prefix" && find . -name "$name") ]] || fail "$name not installed"
done

if [[ $app_built == ON ]]; then
    expect_file bin/tandemix
    expect_file bin/tandemix-viewer
else
    expect_none "bin/tandemix"
    expect_none "share/applications"
fi

"$prefix/bin/tandemix-cli" --version >/dev/null || fail "the installed tandemix-cli does not run"
if web_built "$build"; then
    [[ -n $(cd "$prefix" && find . -path './lib*/tandemix/tandemix-web.so') ]] ||
        fail "the web module is not installed in a private library folder"
    mkdir "$work/web-out"
    check_web_module "install tree" "$prefix/bin/tandemix-cli" "$work/web-out"
fi

# The consumer sees nothing of the source or build tree: only the prefix.
printf 'alpha\nbeta\ngamma\n' >"$work/one.txt"
printf 'alpha\nBETA\ngamma\ndelta\n' >"$work/two.txt"
if ! "$cmake" -S "$consumer" -B "$work/consumer" -G "$generator" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_BUILD_TYPE="$build_type" -DCMAKE_CXX_FLAGS="${TANDEMIX_CONSUMER_CXX_FLAGS:-}" \
    >"$work/configure.log" 2>&1; then
    cat "$work/configure.log" >&2
    fail "the consumer does not configure against the install tree"
elif ! "$cmake" --build "$work/consumer" >"$work/build.log" 2>&1; then
    cat "$work/build.log" >&2
    fail "the consumer does not build against the install tree"
else
    mkdir "$work/reports"
    output=$("$work/consumer/compare-two" "$work/one.txt" "$work/two.txt" "$work/reports")
    expected="differences=2"
    [[ $output == "$expected" ]] || fail "consumer printed [$output], expected [$expected]"
    [[ -f $work/reports/Tandemix-Bericht.html ]] || fail "the consumer wrote no report"
fi

finish "install tree and consumer"
