#!/usr/bin/env bash
# Keeps the manual page and the bash completion in step with the program: every option that
# --help lists is documented and completed, option values complete, and the page renders
# without warnings.
#
#   cli_docs_test.sh TANDEMIX_CLI MANUAL_PAGE COMPLETION
set -uo pipefail

cli=$1 manual=$2 completion=$3
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

# shellcheck source=/dev/null
source "$completion"

# complete_words WORD...: what the completion offers for the last word, sorted, one line.
complete_words() {
    COMP_WORDS=(tandemix-cli "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _tandemix_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort | xargs
}

options=$("$cli" --help | grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' | sed 's/^[ ,]*//' | sort -u)
[[ -n $options ]] || fail "--help lists no options"
offered=" $(complete_words -) $(complete_words --) "
# The tag lines of the OPTIONEN section: the line after each .TP.
entries=$(awk '/^\.SH / { section = $2 } section == "OPTIONEN" && previous == ".TP" { print }
               { previous = $0 }' "$manual" | sed 's/\\-/-/g')
for option in $options; do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$entries" ||
        fail "the manual page has no entry for $option"
    [[ $offered == *" $option "* ]] || fail "the completion does not offer $option"
done

expect_completion() {
    local expected=$1 got
    shift
    got=$(complete_words "$@")
    [[ $got == "$expected" ]] || fail "completing [$*]: got [$got], expected [$expected]"
}
expect_completion "greedy minimal" --alignment ""
expect_completion "minimal" --alignment m
expect_completion "framed single" --report = ""
expect_completion "single" --report = s
expect_completion "hta htm" --container ""
expect_completion "" --user ""

work=$(mktemp -d "${TMPDIR:-/tmp}/tandemix-docs-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/folder"
touch "$work/file.txt"
expect_completion "$work/folder" -o "$work/"
expect_completion "$work/file.txt $work/folder" "$work/"

version=$("$cli" --version | awk '{ print $2 }')
grep -q "^\.TH .*\"Tandemix $version\"" "$manual" ||
    fail "the manual page's title line does not name version $version"

if command -v groff >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 groff -man -K utf8 -ww -z "$manual" 2>&1)
    [[ -z $warnings ]] || fail "groff warns about the manual page: $warnings"
else
    echo "groff not found: the manual page's markup is not checked"
fi

finish "manual page and completion"
