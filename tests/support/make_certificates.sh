#!/usr/bin/env bash
# Makes the web tests' certificates in FOLDER with the openssl command: the test authority
# ca.pem, one that nobody trusts, and NAME.pem with NAME.key for each server certificate
# below (TestCertificates.h says what each one is). Fails when openssl does.
#
#   make_certificates.sh FOLDER [OPENSSL]
set -euo pipefail
dir=$1 openssl=${2:-openssl}
# P-256 keys take milliseconds where RSA keys take a noticeable part of a second.
new_key=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
# "openssl ca" is the one 3.0 command that sets both validity dates freely.
printf '%s\n' '[ca]' 'default_ca = test_ca' '[test_ca]' "database = $dir/index.txt" \
    "serial = $dir/serial" "new_certs_dir = $dir" 'default_md = sha256' 'policy = any_name' \
    'unique_subject = no' '[any_name]' 'commonName = supplied' >"$dir/ca.cnf"
: >"$dir/index.txt"
echo 1000 >"$dir/serial"
for ca in ca stranger-ca; do
    "$openssl" req -x509 "${new_key[@]}" -days 30 -subj "/CN=Tandemix test $ca" \
        -keyout "$dir/$ca.key" -out "$dir/$ca.pem" -addext basicConstraints=critical,CA:TRUE \
        -addext keyUsage=critical,keyCertSign,cRLSign >/dev/null 2>&1
done
# NAME, the name it is for, its issuer ("-": itself), and when it is valid: from long ago,
# or far ahead, to the end of the tests, or to shortly after long ago.
while read -r name for issuer start end; do
    printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\n' "$for" >"$dir/$name.ext"
    "$openssl" req -new "${new_key[@]}" -subj "/CN=${for#*:}" -keyout "$dir/$name.key" \
        -out "$dir/$name.csr" >/dev/null 2>&1
    signer=(-cert "$dir/$issuer.pem" -keyfile "$dir/$issuer.key")
    [[ $issuer != - ]] || signer=(-selfsign -keyfile "$dir/$name.key")
    "$openssl" ca -batch -notext -config "$dir/ca.cnf" -in "$dir/$name.csr" -out "$dir/$name.pem" \
        -startdate "$start" -enddate "$end" -extfile "$dir/$name.ext" "${signer[@]}" \
        >/dev/null 2>&1
done <<'LIST'
trusted IP:127.0.0.1 ca 20200101000000Z 20991231000000Z
other-name DNS:other.example ca 20200101000000Z 20991231000000Z
expired IP:127.0.0.1 ca 20200101000000Z 20200201000000Z
not-yet-valid IP:127.0.0.1 ca 20980101000000Z 20991231000000Z
unknown-issuer IP:127.0.0.1 stranger-ca 20200101000000Z 20991231000000Z
unknown-issuer-expired IP:127.0.0.1 stranger-ca 20200101000000Z 20200201000000Z
self-signed IP:127.0.0.1 - 20200101000000Z 20991231000000Z
LIST
