#!/usr/bin/env bash
# Runs tandemix-cli as a user would, for what only a whole process shows: exit statuses,
# files on disk, stdout against stderr, the locale, the environment and the terminal,
# programs on PATH, signals and commands running at once. What an option means and what a
# run finds are the C++ suites' business.
# Usage: cli_end_to_end.sh PATH_TO_TANDEMIX_CLI [PATH_TO_FAILING_READ_LIBRARY]
set -u
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

CLI=${1:?path to tandemix-cli}
FAILING_READ=${2:-}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tandemix-cli-XXXXXX")
MOUNTED=""
cleanup() {
    [ -z "$MOUNTED" ] || umount "$MOUNTED"
    rm -rf "$WORK"
}
trap cleanup EXIT
FRAMED="~tandemix1.htm ~tandemix2.htm ~tandemixtop.htm"
UML=$(printf '\xc3\xa4')

# run NAME ARGS...: runs the program with OUT, ERR and STATUS set afterwards, through the
# command in the array LAUNCH when it is set (another locale, a file size limit).
LAUNCH=()
run() {
    local name=$1
    shift
    "${LAUNCH[@]}" "$CLI" "$@" >"$WORK/$name.out" 2>"$WORK/$name.err"
    STATUS=$?
    OUT=$(cat "$WORK/$name.out")
    ERR=$(cat "$WORK/$name.err")
}

# A fresh output folder OUTDIR named after the check.
outdir() {
    OUTDIR="$WORK/out-$1"
    mkdir -p "$OUTDIR"
}

expect_status() {
    [ "$STATUS" -eq "$2" ] || fail "$1: exit status $STATUS, expected $2 (stderr: $ERR)"
}

expect_out() {
    [ "$OUT" = "$2" ] || fail "$1: stdout was [$OUT], expected [$2]"
}

expect_err_contains() {
    local text
    for text in "${@:2}"; do
        [[ $ERR == *"$text"* ]] || fail "$1: stderr [$ERR] lacks [$text]"
    done
}

expect_err_empty() {
    [ -z "$ERR" ] || fail "$1: stderr not empty: [$ERR]"
}

# expect_trouble NAME MESSAGE...: exit status 2, nothing on stdout, the messages on stderr.
expect_trouble() {
    expect_status "$1" 2
    expect_out "$1" ""
    expect_err_contains "$@"
}

# expect_result NAME STATUS RESULT FILES ARGS...: a run into a fresh folder prints the result
# line and the path of the first of FILES on stdout, nothing on stderr, and leaves FILES.
expect_result() {
    local name=$1 status=$2 result=$3 files=$4
    shift 4
    outdir "$name"
    run "$name" -o "$OUTDIR" "$@"
    expect_status "$name" "$status"
    expect_out "$name" "Ergebnis: $result
$OUTDIR/${files%% *}"
    expect_err_empty "$name"
    [ "$(listing "$OUTDIR")" = "$files" ] || fail "$name: wrote [$(listing "$OUTDIR")], not [$files]"
}

# The names in the folder, hidden ones left out, sorted, on one line.
listing() {
    find "$1" -mindepth 1 -maxdepth 1 ! -name '.*' -printf '%f\n' | LC_ALL=C sort | paste -sd ' '
}

# await COMMAND...: waits up to ten seconds for the command to succeed.
await() {
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

# A checksum of every file in the folder, names included.
snapshot() {
    (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r cksum)
}

# Temporary files of a report being written.
parts_in() {
    find "$1" -maxdepth 1 -name '.~tandemix-*' | wc -l
}

# Entries of the folder besides the four files of a report.
strays_in() {
    find "$1" -mindepth 1 -maxdepth 1 ! -name Tandemix.htm ! -name '~tandemixtop.htm' \
        ! -name '~tandemix1.htm' ! -name '~tandemix2.htm' | wc -l
}

# Lines of a pair that differs in every tenth line and ends with a mark of its own.
make_pair() {
    seq "$1" >"$2"
    seq "$1" | sed 's/5$/five/' >"$3"
    printf '%s side 1\n' "$4" >>"$2"
    printf '%s side 2\n' "$4" >>"$3"
}

IN="$WORK/in"
mkdir -p "$IN/old" "$IN/new"
printf 'alpha\nbeta\ngamma\n' >"$IN/one.txt"
printf 'alpha\nBETA\ngamma\ndelta\n' >"$IN/two.txt"
printf 'same\n' | tee "$IN/old/c.txt" "$IN/new/c.txt" >/dev/null
touch -d '2001-02-03 04:05' "$IN/old/c.txt"
printf 'not a folder\n' >"$WORK/regular"

# --- Results, exit statuses and the files written ---

expect_result differ 1 "2 Unterschiede" "Tandemix.htm $FRAMED" "$IN/one.txt" "$IN/two.txt"
expect_result same 0 "Keine Unterschiede" "Tandemix.htm $FRAMED" "$IN/one.txt" "$IN/one.txt"

# The pages name the code page of the locale right after "<HEAD>"; the container does not.
for locale in C.UTF-8:utf-8 de_DE.ISO-8859-1:windows-1252 C:; do
    name=${locale%%:*} charset=${locale#*:}
    expected=$'<TITLE> Tandemix Ergebnisse </TITLE>\r'
    [ -z "$charset" ] ||
        expected="<META http-equiv=\"Content-Type\" content=\"text/html; charset=$charset\">"$'\r'
    LAUNCH=(env "LC_ALL=$name")
    expect_result "charset-$name" 1 "2 Unterschiede" "Tandemix.htm $FRAMED" \
        "$IN/one.txt" "$IN/two.txt"
    LAUNCH=()
    for page in $FRAMED; do
        after_head=$(grep -A1 -x $'<HEAD>\r' "$OUTDIR/$page" | sed -n 2p)
        [ "$after_head" = "$expected" ] || fail "charset-$name: $page has [$after_head] after <HEAD>"
    done
    ! grep -q META "$OUTDIR/Tandemix.htm" || fail "charset-$name: the container names a code page"
done

# What a listing leaves out is a note on stderr, not trouble (hints go the same way).
ln -s nowhere "$IN/new/dangling"
outdir notes
run notes --folder-contents -o "$OUTDIR" "$IN/old" "$IN/new"
expect_status notes 0
expect_out notes "Ergebnis: Keine Unterschiede
$OUTDIR/Tandemix.htm"
expect_err_contains notes "Hinweis: Verzeichnis 2: 1 Eintrag ausgelassen (Verkn$(printf '\xc3\xbc')pfung ohne Ziel)"

outdir quiet
run quiet -q -o "$OUTDIR" "$IN/one.txt" "$IN/two.txt"
expect_status quiet 1
expect_out quiet ""
expect_err_empty quiet
# Advice is left out too: files of one name and time but other sizes give a hint otherwise.
mkdir -p "$WORK/same-time/1" "$WORK/same-time/2"
echo a >"$WORK/same-time/1/f" && echo abc >"$WORK/same-time/2/f"
touch -d '2020-01-01 00:00' "$WORK/same-time/1/f" "$WORK/same-time/2/f"
run hint -o "$OUTDIR" "$WORK/same-time/1" "$WORK/same-time/2"
expect_err_contains hint "Hinweis: 1 Datei mit gleichem Namen und gleicher Zeit"
run quiet-hint -q -o "$OUTDIR" "$WORK/same-time/1" "$WORK/same-time/2"
expect_err_empty quiet-hint

# The documents folder is the default when no output folder is given; a given one is made.
HOME="$WORK/home" XDG_CONFIG_HOME="" XDG_DOCUMENTS_DIR="" \
    run default-dir "$IN/one.txt" "$IN/one.txt"
expect_status default-dir 0
expect_out default-dir "Ergebnis: Keine Unterschiede
$WORK/home/Documents/Tandemix.htm"
run made-output -o "$WORK/made/deeper/out" "$IN/one.txt" "$IN/two.txt"
expect_status made-output 1
[ -f "$WORK/made/deeper/out/Tandemix.htm" ] || fail "made-output: the folder was not made"

# --- Trouble ---

outdir missing
run missing -o "$OUTDIR" "$IN/nothing.txt" "$IN/two.txt"
expect_trouble missing "Datei / Verzeichnis / Internet-Seite 1 existiert nicht"
[ -z "$(ls -A "$OUTDIR")" ] || fail "missing: files were written: $(ls -A "$OUTDIR")"

# Being root, permissions would not stop the writing; a folder below a file cannot exist.
run unwritable -o "$WORK/regular/out" "$IN/one.txt" "$IN/two.txt"
expect_trouble unwritable "Die Datei $WORK/regular/out/~tandemixtop.htm kann nicht ge" \
    "Das Ausgabeverzeichnis ist kein Verzeichnis."
[[ $ERR != *$'\r'* ]] || fail "unwritable: stderr holds a carriage return"

run unknown --frobnicate "$IN/one.txt" "$IN/two.txt"
expect_trouble unknown "--frobnicate"

run version --version
expect_status version 0
[[ $OUT =~ ^tandemix-cli\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "version: [$OUT]"

# --- Inputs that cannot be taken in whole: refused at once, the old report untouched ---

outdir refused
run refused-first -o "$OUTDIR" "$IN/one.txt" "$IN/two.txt"
BEFORE=$(snapshot "$OUTDIR")

# expect_refused NAME MESSAGE ARGS...: trouble within a time limit, the report as it was.
expect_refused() {
    local name=$1 message=$2 launch=("${LAUNCH[@]}")
    shift 2
    LAUNCH=(timeout 20 "${launch[@]}")
    run "$name" -o "$OUTDIR" "$@"
    LAUNCH=("${launch[@]}")
    [ "$STATUS" -ne 124 ] || fail "$name: still running after 20 s"
    expect_trouble "$name" "$message"
    [ "$(snapshot "$OUTDIR")" = "$BEFORE" ] || fail "$name: the report changed"
}

mkfifo "$IN/pipe"
expect_refused pipe "Datei 2 ist keine regul${UML}re Datei: $IN/pipe" "$IN/one.txt" "$IN/pipe"

# Inputs refused before the run leave no output folder behind.
for refused in "missing $IN/nothing.txt $IN/two.txt" "kinds $IN/one.txt $IN/old" \
    "pipe $IN/one.txt $IN/pipe"; do
    read -r name first second <<<"$refused"
    run "no-folder-$name" -o "$WORK/never-$name/out" "$first" "$second"
    expect_status "no-folder-$name" 2
    [ ! -e "$WORK/never-$name" ] || fail "no-folder-$name: the output folder was made"
done
seq 10000 >"$IN/long.txt"
if [ -n "$FAILING_READ" ]; then
    # Under AddressSanitizer its runtime would insist on coming first.
    LAUNCH=(env "LD_PRELOAD=$FAILING_READ" "TANDEMIX_FAIL_READ_PATH=$IN/long.txt"
        ASAN_OPTIONS=verify_asan_link_order=0)
    expect_refused read-error "Datei 2 kann nicht gelesen werden: $IN/long.txt" \
        "$IN/one.txt" "$IN/long.txt"
    LAUNCH=()
else
    echo "skipped: read error midway (no failing-read library given)"
fi

# --- Reports are replaced all or nothing, one command at a time ---

# Four commands into one folder at once, five times: what is left is always one command's
# report, whole.
outdir concurrent
for k in 1 2 3 4; do
    make_pair 20000 "$IN/c$k-1.txt" "$IN/c$k-2.txt" "run $k"
done
for try in 1 2 3 4 5; do
    pids=()
    for k in 1 2 3 4; do
        "$CLI" -q -o "$OUTDIR" "$IN/c$k-1.txt" "$IN/c$k-2.txt" 2>"$WORK/concurrent-$k.err" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid"
        status=$?
        [ "$status" -eq 1 ] || fail "concurrent try $try: a command exited with $status"
    done
    k=$(grep -o 'c[1-4]-1\.txt' "$OUTDIR/~tandemixtop.htm" | head -n 1 | cut -c 2)
    grep -qF "c$k-2.txt" "$OUTDIR/~tandemixtop.htm" &&
        grep -qF "run $k side 1" "$OUTDIR/~tandemix1.htm" &&
        grep -qF "run $k side 2" "$OUTDIR/~tandemix2.htm" ||
        fail "concurrent try $try: the pages are not one command's report"
    [ "$(parts_in "$OUTDIR")" -eq 0 ] || fail "concurrent try $try: temporary files left"
done

# A killed command leaves temporary files; the next command into the folder removes them.
outdir killed
make_pair 1000000 "$IN/huge-1.txt" "$IN/huge-2.txt" huge
"$CLI" -q -o "$OUTDIR" "$IN/huge-1.txt" "$IN/huge-2.txt" 2>/dev/null &
pid=$!
for _ in $(seq 3000); do
    [ "$(strays_in "$OUTDIR")" -eq 0 ] || break
    sleep 0.01
done
kill -STOP "$pid" 2>/dev/null
seen=$(strays_in "$OUTDIR")
kill -KILL "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
if [ "$seen" -eq 0 ]; then
    echo "skipped: killed command (it ended before its temporary files were seen)"
else
    run after-kill -o "$OUTDIR" "$IN/one.txt" "$IN/two.txt"
    expect_status after-kill 1
    [ "$(strays_in "$OUTDIR")" -eq 0 ] ||
        fail "after-kill: files of the killed command left: $(ls -A "$OUTDIR")"
fi

# A full disk: the old report stays whole, and the message says the disk is full, also
# when fetching pages into the full folder.
outdir full
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=2m tmpfs "$OUTDIR" 2>/dev/null; then
    MOUNTED=$OUTDIR
    make_pair 100000 "$IN/big-1.txt" "$IN/big-2.txt" big
    run full-first -o "$OUTDIR" "$IN/one.txt" "$IN/two.txt"
    expect_status full-first 1
    BEFORE=$(snapshot "$OUTDIR")
    run full -o "$OUTDIR" "$IN/big-1.txt" "$IN/big-2.txt"
    expect_trouble full "Der Datentr${UML}ger ist voll."
    [ "$(snapshot "$OUTDIR")" = "$BEFORE" ] || fail "full: the old report changed"
    [ "$(parts_in "$OUTDIR")" -eq 0 ] || fail "full: temporary files left"
    dd if=/dev/zero of="$OUTDIR/filler" bs=64k 2>/dev/null
    run web-full --web -o "$OUTDIR" http://127.0.0.1:1/a http://127.0.0.1:1/b
    expect_trouble web-full "Der Datentr${UML}ger ist voll."
    [[ $ERR != *"existiert nicht"* ]] || fail "web-full: a full folder read as a missing page"
    umount "$OUTDIR" && MOUNTED=""
else
    echo "skipped: full disk (no tmpfs can be mounted here)"
fi

# --- Web retrieval is a module, loaded for web pages only ---

mkdir "$WORK/alone" && cp "$CLI" "$WORK/alone/"
outdir alone
CLI="$WORK/alone/tandemix-cli" run alone --web -o "$OUTDIR" http://127.0.0.1:1/a http://127.0.0.1:1/b
expect_trouble alone "Die Web-Abfrage ist nicht verfügbar: " \
    "tandemix-web.so: cannot open shared object file"

# --- Opening the report with the programs found on PATH ---

# Without a viewer the framed report goes to the desktop's opener, here a stand-in that
# records what it is asked (which program opens which form: DesktopLauncherTest).
mkdir "$WORK/bin"
printf '#!/bin/sh\necho "$@" >"%s"\n' "$WORK/opened" >"$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
[ ! -e "$(dirname "$CLI")/tandemix-viewer" ] || fail "open: a viewer lies beside the program"
PATH="$WORK/bin:$PATH" expect_result open 1 "2 Unterschiede" "Tandemix.htm $FRAMED" \
    --open "$IN/one.txt" "$IN/two.txt"
opened=$(cat "$WORK/opened" 2>/dev/null)
[ "$opened" = "$OUTDIR/Tandemix.htm" ] || fail "open: xdg-open was asked [$opened]"

# --- Web pages from the test server: logins, certificates, signals ---

SITE="$WORK/site"
CERTS="$WORK/certs"
mkdir "$SITE" "$CERTS"
printf '<html><body><p>Hallo</p><p>Welt</p></body></html>\n' >"$SITE/a.html"
printf '<html><body><p>Hallo</p><p>Leute</p></body></html>\n' >"$SITE/b.html"
# The test authority, and a certificate it signed for another name than 127.0.0.1.
bash "$(dirname "$0")/../support/make_certificates.sh" "$CERTS" || fail "certificates: openssl failed"

# The server runs until its standard input, a pipe held open here, closes.
mkfifo "$WORK/to-server"
python3 "$(dirname "$0")/../web/loopback_server.py" "$SITE" 0 \
    "0,$CERTS/other-name.pem,$CERTS/other-name.key" <"$WORK/to-server" >"$WORK/ports" &
LOOPBACK=$!
exec {TO_SERVER}>"$WORK/to-server"
await grep -q '^ports ' "$WORK/ports"
read -r _ HTTP_PORT TLS_PORT <"$WORK/ports"
if [ -z "${TLS_PORT:-}" ]; then
    fail "web: the test server did not start"
else
    BASE="http://127.0.0.1:$HTTP_PORT"
    unset TANDEMIX_PASSWORD
    # No fetched copy is left beside the report.
    expect_result web 1 "1 Unterschiede" "Tandemix.htm $FRAMED" --web \
        "$BASE/files/a.html" "$BASE/files/b.html"

    TANDEMIX_PASSWORD=s3cret run user-env --web -o "$OUTDIR" --user tandem \
        "$BASE/basic" "$BASE/files/b.html"
    expect_status user-env 1
    expect_err_empty user-env
    grep -qF "welcome basic" "$OUTDIR/~tandemix1.htm" || fail "user-env: page 1 not the welcome"

    run user-old --web -o "$OUTDIR" --user tandem:s3cret "$BASE/basic" "$BASE/basic"
    expect_status user-old 0
    expect_err_contains user-old "Warnung: Mit --user NAME:PASSWORT"

    # Nobody at a terminal: the login counts as cancelled.
    LAUNCH=(setsid -w)
    run user-none --web -o "$OUTDIR" --user tandem "$BASE/basic" "$BASE/files/b.html" </dev/null
    LAUNCH=()
    expect_trouble user-none "Internet-Seite 1 existiert nicht" \
        "Warnung: Internet-Seite 1 antwortete mit 401"

    # The password typed at a terminal is read without echo.
    mkfifo "$WORK/keys"
    script -qfec "$(printf '%q ' "$CLI" --web -o "$OUTDIR" --user tandem "$BASE/basic" \
        "$BASE/basic")" "$WORK/pty.out" <"$WORK/keys" >/dev/null &
    pid=$!
    exec {KEYS}>"$WORK/keys"
    await grep -q Passwort "$WORK/pty.out" && echo s3cret >&"$KEYS"
    wait "$pid"
    STATUS=$? ERR=$(cat "$WORK/pty.out")
    exec {KEYS}>&-
    expect_status pty 0
    expect_err_contains pty "Passwort für tandem bei $BASE/basic: "
    [[ $ERR != *s3cret* ]] || fail "pty: the password was echoed"

    # The authorities come from SSL_CERT_FILE; a certificate for another name is refused,
    # unless --insecure accepts it.
    TLS="https://127.0.0.1:$TLS_PORT/files"
    SSL_CERT_FILE="$CERTS/ca.pem" run tls-name --web -o "$OUTDIR" "$TLS/a.html" "$TLS/b.html"
    expect_trouble tls-name "Internet-Seite 1 existiert nicht" \
        "Das Zertifikat von 127.0.0.1 ist ungültig (für einen anderen Namen ausgestellt). Mit --insecure"
    SSL_CERT_FILE="$CERTS/ca.pem" run tls-insecure --web --insecure -o "$OUTDIR" \
        "$TLS/a.html" "$TLS/b.html"
    expect_status tls-insecure 1
    expect_err_empty tls-insecure

    # A command waiting for another one's turn says once which folder it waits for, and
    # Ctrl-C ends the wait without touching the other command's downloads.
    outdir waiting
    touch "$OUTDIR/~tandemixurl1" "$OUTDIR/~tandemixurl2"
    exec {LOCK}>"$OUTDIR/.~tandemix.lock"
    flock "$LOCK"
    set -m
    "$CLI" --web -o "$OUTDIR" "$BASE/files/a.html" "$BASE/files/b.html" \
        >/dev/null 2>"$WORK/waiting.err" {LOCK}>&- &
    pid=$!
    set +m
    await grep -q "Warte auf das Verzeichnis $OUTDIR" "$WORK/waiting.err" || fail "waiting: not said"
    kill -s INT "$pid"
    wait "$pid"
    STATUS=$?
    exec {LOCK}>&-
    [ "$STATUS" -eq 130 ] || fail "waiting: exit status $STATUS, expected 130"
    [ "$(grep -c Warte "$WORK/waiting.err")" -eq 1 ] || fail "waiting: [$(cat "$WORK/waiting.err")]"
    [ -e "$OUTDIR/~tandemixurl1" ] && [ -e "$OUTDIR/~tandemixurl2" ] ||
        fail "waiting: the other command's downloads were removed"

    # A signal while page 2 drips in: the downloads go, the exit status tells the signal.
    # Job control keeps SIGINT from being ignored in the background job.
    outdir signal
    for signal in INT TERM; do
        set -m
        "$CLI" --web -o "$OUTDIR" "$BASE/files/a.html" "$BASE/drip?every=0.1" \
            >/dev/null 2>&1 &
        pid=$!
        set +m
        await test -e "$OUTDIR/~tandemixurl2" || fail "signal $signal: download not started"
        kill -s "$signal" "$pid"
        wait "$pid"
        STATUS=$?
        expected=$((128 + $(kill -l "$signal")))
        [ "$STATUS" -eq "$expected" ] || fail "signal $signal: exit status $STATUS, expected $expected"
        [ ! -e "$OUTDIR/~tandemixurl1" ] && [ ! -e "$OUTDIR/~tandemixurl2" ] ||
            fail "signal $signal: downloads left behind"
    done
fi
exec {TO_SERVER}>&-
wait "$LOOPBACK" 2>/dev/null
finish "cli end to end"
