#!/usr/bin/env bash
# --brief against `diff -rq` on generated trees: the same differing entries (a moved file
# counts as its two "Only in" lines), the same exit status, and its own lines in path order.
#
#   brief_vs_diff.sh TANDEMIX_CLI
set -uo pipefail

cli=$1
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"
export LC_ALL=C
work=$(mktemp -d "${TMPDIR:-/tmp}/tandemix-brief-XXXXXX")
trap 'rm -rf "$work"' EXIT

# diff -rq's lines as --brief words them, moves not found.
from_diff() {
    local a=$1 b=$2
    sed -E -e "s|^Files $a/(.*) and $b/.* differ\$|geändert\t\1|" \
        -e "s|^Only in $a: (.*)\$|nur-in-1\t\1|" -e "s|^Only in $a/(.*): (.*)\$|nur-in-1\t\1/\2|" \
        -e "s|^Only in $b: (.*)\$|nur-in-2\t\1|" -e "s|^Only in $b/(.*): (.*)\$|nur-in-2\t\1/\2|" \
        -e "s|^File $a/(.*) is a .* while file $b/.*\$|art\t\1|" | sort
}

# --brief's lines with each move as the two one-sided lines it stands for.
without_moves() {
    awk -F '\t' '$1 == "verschoben" { print "nur-in-1\t" $2; print "nur-in-2\t" $3; next }
                 { print }' | sort
}

# compare NAME [PATTERN...]: runs both on $work/NAME/{1,2}, each leaving out the patterns.
compare() {
    local name=$1 a="$work/$1/1" b="$work/$1/2" ours theirs ours_status theirs_status pattern
    local excludes=() x=()
    for pattern in "${@:2}"; do excludes+=(--exclude "$pattern") && x+=(-x "$pattern"); done
    ours=$("$cli" --brief "${excludes[@]}" "$a" "$b")
    ours_status=$?
    theirs=$(diff -rq "${x[@]}" "$a" "$b")
    theirs_status=$?
    [[ $ours_status == "$theirs_status" ]] ||
        fail "$name: exit status $ours_status, diff -rq $theirs_status"
    [[ "$(without_moves <<<"$ours")" == "$(from_diff "$a" "$b" <<<"$theirs")" ]] ||
        fail "$name: entries differ:"$'\n'"$ours"$'\n'"--- diff -rq:"$'\n'"$theirs"
    # Path order is name by name, each by bytes: what sort gives with "/" made the lowest.
    local paths
    paths=$(cut -f2 <<<"$ours")
    [[ "$paths" == "$(tr '/' '\001' <<<"$paths" | sort | tr '\001' '/')" ]] ||
        fail "$name: lines not in path order:"$'\n'"$ours"
}

# A tree of 300 files in nested folders, and its copy with edits of every kind.
make_pair() {
    local root="$work/$1" i
    mkdir -p "$root/1"
    for ((i = 0; i < 300; i++)); do
        mkdir -p "$root/1/d$((i % 7))/e$((i % 3))"
        seq "$i" $((i + 40)) >"$root/1/d$((i % 7))/e$((i % 3))/f $i.txt"
    done
    printf 'a\0b' >"$root/1/bin"
    printf 1 >"$root/1/latin"$'\xff'                                  # not UTF-8
    echo outside >"$work/outside.txt" && cp "$work/outside.txt" "$root/1/linked"
    mkdir -p "$work/outside" "$root/1/ext" && echo o1 >"$work/outside/o" && echo o2 >"$root/1/ext/o"
    cp -a "$root/1" "$root/2"
    printf 2 >"$root/2/latin"$'\xff'
    # Links out of the tree are followed: an equal file, a folder with a changed file.
    rm -r "$root/2/linked" "$root/2/ext"
    ln -s "$work/outside.txt" "$root/2/linked" && ln -s "$work/outside" "$root/2/ext"
    touch -d '2001-01-01' "$root/2/d1/e1/f 1.txt"                     # only the time
    echo changed >>"$root/2/d2/e2/f 2.txt"                             # longer
    sed -i 's/^5$/6/' "$root/2/d5/e2/f 5.txt"                          # same size
    printf 'a\0c' >"$root/2/bin"                                       # binary
    rm "$root/2/d3/e0/f 3.txt"                                         # removed
    echo new >"$root/2/d3/e0/new.txt"                                  # added
    mv "$root/2/d4/e1/f 4.txt" "$root/2/d4/e1/renamed.txt"             # moved
    rm -r "$root/2/d6/e0"                                              # folder removed
    mkdir -p "$root/2/added/deeper" && echo x >"$root/2/added/deeper/y" # folder added
    rm "$root/2/d0/e0/f 0.txt" && mkdir "$root/2/d0/e0/f 0.txt"        # kinds differ
    mkdir -p "$root/1/a" "$root/2/a" && echo 1 >"$root/1/a/b" && echo 2 >"$root/2/a/b"
    echo x >"$root/1/a.txt"                                            # "a.txt" after "a/b"
}

make_pair edits
compare edits
compare edits 'd[0-3]' '*.txt' # what diff -x leaves out

mkdir -p "$work/same/1" && cp -a "$work/edits/1/." "$work/same/1" && cp -a "$work/same/1" "$work/same/2"
compare same

# A link that leads nowhere: a line, a note and status 2, where diff -rq gives an error.
mkdir -p "$work/broken/1" "$work/broken/2"
ln -s nowhere "$work/broken/1/dangling" && ln -s nowhere "$work/broken/2/dangling"
out=$("$cli" --brief "$work/broken/1" "$work/broken/2" 2>"$work/notes")
status=$?
[[ $out == $'unlesbar\tdangling' && $status == 2 ]] || fail "dangling link: [$out] status $status"
grep -q '^Hinweis: Verzeichnis 1: ' "$work/notes" || fail "dangling link: no note: $(cat "$work/notes")"

# Two files: a byte comparison with an empty path; quiet leaves only the status.
printf 'x' >"$work/x" && printf 'x' >"$work/y" && printf 'z' >"$work/z"
[[ "$("$cli" --brief "$work/x" "$work/y")" == "" ]] || fail "equal files print a line"
[[ "$("$cli" --brief "$work/x" "$work/z")" == $'geändert\t' ]] || fail "changed files"
out=$("$cli" --brief -q "$work/edits/1" "$work/edits/2")
status=$?
[[ -z $out && $status == 1 ]] || fail "--quiet: [$out] status $status"
"$cli" --brief "$work/missing" "$work/x" >/dev/null 2>&1
status=$?
[[ $status == 2 ]] || fail "a missing input gives status $status"

finish "--brief against diff -rq"
