#!/usr/bin/env bash
# tandemix-cli as git's diff tool, as the README shows it: git difftool --dir-diff hands it
# two folders (the working tree's side as links to the real files) and --open shows the
# one-file report of the two trees; git difftool -x hands it one file pair at a time. The
# desktop's opener is a stand-in on PATH that records what it was asked to open.
# Usage: git_difftool.sh PATH_TO_TANDEMIX_CLI
set -u
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

CLI=$(realpath "${1:?path to tandemix-cli}")
if ! command -v git >/dev/null 2>&1; then
    echo "git is not installed (scripts/install-deps.sh test installs it); skipped"
    exit 77
fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tandemix-git-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

BIN="$WORK/bin"
mkdir "$BIN"
cat >"$BIN/xdg-open" <<SCRIPT
#!/bin/sh
echo "\$@" >"$WORK/xdg-open.called"
SCRIPT
chmod +x "$BIN/xdg-open"
export PATH="$BIN:$PATH" HOME="$WORK" GIT_CONFIG_NOSYSTEM=1

REPO="$WORK/repo"
mkdir -p "$REPO/src"
cd "$REPO" || exit 2
git init -q
git config user.email test@example.com
git config user.name Test
printf 'one\ntwo\nthree\n' >a.txt
printf 'gone\n' >b.txt
printf 'int main() {}\n' >src/main.c
printf 'same\n' >same.txt
git add . && git commit -q -m first
printf 'one\n2\nthree\nfour\n' >a.txt
git rm -q b.txt
printf 'new\n' >c.txt
git add c.txt

# The whole tree, working tree against the last commit, with tandemix-cli as a configured
# tool (which git runs through the shell with the two folders in $LOCAL and $REMOTE).
OUT="$WORK/out"
git config difftool.tandemix.cmd "$CLI --report single --open -o $OUT \"\$LOCAL\" \"\$REMOTE\""
git difftool --dir-diff --no-prompt --tool=tandemix HEAD >"$WORK/dir.out" 2>"$WORK/dir.err"
REPORT="$OUT/Tandemix-Bericht.html"
[ -f "$REPORT" ] || fail "dir-diff: no report (stderr: $(cat "$WORK/dir.err"))"
[ "$(cat "$WORK/xdg-open.called" 2>/dev/null)" = "$REPORT" ] ||
    fail "dir-diff: the opener was asked [$(cat "$WORK/xdg-open.called" 2>/dev/null)]"
grep -q '^Ergebnis: 3 Unterschiede$' "$WORK/dir.out" || fail "dir-diff: result [$(cat "$WORK/dir.out")]"
# The entries: a.txt changed (with its line counts, at the page's end), b.txt only in 1,
# c.txt only in 2.
for entry in '["a.txt",1,"ff",{"sizes":[14,17],"file":0},' '"files":[' '[1,0,1,2],' \
    '["b.txt",2,"f-",' '["c.txt",3,"-f",'; do
    grep -qF "$entry" "$REPORT" || fail "dir-diff: the report lacks $entry"
done
# Equal files are listed; what git left out of its copies is not.
grep -qF '["same.txt",' "$REPORT" && fail "dir-diff: git gives only changed files, but same.txt is listed"

# The same with --extcmd, which git 2.39 runs in dir-diff mode as one program name, without
# a shell: there a command with arguments cannot run at all.
rm -rf "$OUT" "$WORK/xdg-open.called"
git difftool --dir-diff --no-prompt --extcmd "$CLI --report single --open -o $OUT" HEAD \
    >"$WORK/ext.out" 2>"$WORK/ext.err"
if grep -q "cannot run" "$WORK/ext.err"; then
    echo "note: this git cannot run --extcmd with arguments in dir-diff mode ($(git --version))"
else
    grep -q '^Ergebnis: 3 Unterschiede$' "$WORK/ext.out" || fail "--extcmd: result [$(cat "$WORK/ext.out")]"
    [ -f "$REPORT" ] || fail "--extcmd: no report"
fi

# One file at a time.
rm -f "$WORK/xdg-open.called"
git difftool --no-prompt -x "$CLI --report single -o $WORK/one" HEAD -- a.txt >"$WORK/one.out" 2>&1
grep -q '^Ergebnis: 2 Unterschiede$' "$WORK/one.out" || fail "difftool -x: result [$(cat "$WORK/one.out")]"
[ -f "$WORK/one/Tandemix-Bericht.html" ] || fail "difftool -x: no report"
finish "git difftool"
