#!/bin/sh
# Signs the packages of a windows build tree with a throwaway CA, as
# scripts/package does with a real key, and checks what an administrator
# relies on:
#
#   signing.sh BUILD_DIR VERIFY_TRUST_EXE
#
# - the MSI and both programs, in the zip and in the MSI, verify against the
#   CA; removing the signatures gives back this build's programs byte for byte;
# - under Wine, WinVerifyTrust finds the installed qmverify.exe signed and
#   intact, a copy with one byte changed TRUST_E_BAD_DIGEST, and the unsigned
#   program TRUST_E_NOSIGNATURE; and qmverify-cli compare tells the three
#   apart as the signers of changed files;
# - without a timestamp the signatures end with the certificate; a timestamp
#   (from a time-stamp authority on this machine), at packaging or added to the
#   MSI later, keeps them valid;
# - a key in a PKCS#11 token (SoftHSM2) signs as a key file does;
# - settings that cannot sign are refused with a message, and nothing is made;
# - compare-release finds the signed packages made from this build, and not a
#   signed MSI with a table changed nor a zip with a file added.
# Exit status 77 (skipped) when a tool is missing, 1 on the first failed check.
set -eu
build=$(cd "$1" && pwd)
verify_trust=$2
here=$(cd "$(dirname "$0")" && pwd)
installer="$here/../../res/installer"
release="$installer/make-release"

for tool in osslsigncode openssl wixl msiextract faketime softhsm2-util python3 wine; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed (scripts/setup installs it): skipped"
    exit 77
  fi
done
module=""
for candidate in /usr/lib/softhsm/libsofthsm2.so /usr/lib/x86_64-linux-gnu/softhsm/libsofthsm2.so; do
  [ -f "$candidate" ] && module=$candidate && break
done
if [ -z "$module" ]; then
  echo "SoftHSM2's PKCS#11 module is not installed (scripts/setup installs softhsm2): skipped"
  exit 77
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
msi="qmverify-$version-x64.msi"
zip="qmverify-$version-win64.zip"
work="$build/package-signing-test"
ca="$work/ca"
log="$work/test.log"
rm -rf "$work"
mkdir -p "$ca"
unset QMVERIFY_SIGN_CERT QMVERIFY_SIGN_KEY QMVERIFY_SIGN_PKCS11_MODULE QMVERIFY_SIGN_TIMESTAMP_URL
# One date for every package made here, and for compare-release.
SOURCE_DATE_EPOCH=$("$installer/source-date-epoch")
export SOURCE_DATE_EPOCH

tsa_pid=""
cleanup() {
  [ -z "$tsa_pid" ] || kill "$tsa_pid" 2>/dev/null || true
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  if [ -s "$log" ]; then
    echo "--- last lines of $log"
    tail -n 20 "$log"
  fi
  exit 1
}

echo "making a throwaway CA: root, intermediate, code-signing and time-stamping certificates"
# certificate NAME ISSUER DAYS SUBJECT EXTENSION...: NAME.pem and NAME.key;
# ISSUER "-" makes a self-signed root.
certificate() {
  name=$1
  issuer=$2
  days=$3
  subject=$4
  shift 4
  printf '%s\n' "$@" >"$ca/$name.ext"
  openssl genpkey -quiet -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$ca/$name.key" 2>>"$log" &&
    openssl req -new -key "$ca/$name.key" -out "$ca/$name.csr" -subj "$subject" 2>>"$log" ||
    fail "openssl could not make the key and request of $name"
  if [ "$issuer" = - ]; then
    set -- -signkey "$ca/$name.key"
  else
    set -- -CA "$ca/$issuer.pem" -CAkey "$ca/$issuer.key" -CAcreateserial
  fi
  openssl x509 -req -in "$ca/$name.csr" "$@" -days "$days" -extfile "$ca/$name.ext" -out "$ca/$name.pem" \
    >>"$log" 2>&1 || fail "openssl could not make the certificate $name"
}
certificate root - 3 "/CN=qmverify test root" basicConstraints=critical,CA:TRUE keyUsage=critical,keyCertSign,cRLSign
certificate intermediate root 3 "/CN=qmverify test intermediate" \
  basicConstraints=critical,CA:TRUE,pathlen:0 keyUsage=critical,keyCertSign,cRLSign
certificate signer intermediate 1 "/O=Quillmark test/CN=qmverify test signer" basicConstraints=critical,CA:FALSE \
  keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning
certificate tsa root 3 "/CN=qmverify test time stamps" basicConstraints=critical,CA:FALSE \
  keyUsage=critical,digitalSignature extendedKeyUsage=critical,timeStamping
cat "$ca/signer.pem" "$ca/intermediate.pem" >"$ca/chain.pem"
# A day after the signing certificate has expired.
after_expiry=$(($(date -u -d "$(openssl x509 -in "$ca/signer.pem" -noout -enddate | cut -d= -f2)" +%s) + 86400))

# verify FILE [OPTION...]: the signature of FILE is intact and leads to the root.
verify() {
  file=$1
  shift
  osslsigncode verify -CAfile "$ca/root.pem" "$@" -in "$file" >"$work/verify.log" 2>&1
}

# Settings that cannot sign: a message, a failure, and no packages.
refused() {
  expected=$1
  if "$release" "$build" "$work/refused" >"$work/refused.log" 2>&1; then
    fail "make-release signed with $2"
  fi
  grep -q "$expected" "$work/refused.log" || fail "for $2 make-release said: $(cat "$work/refused.log")"
  [ ! -e "$work/refused" ] || fail "make-release left packages behind for $2"
}
echo "refusing settings that cannot sign"
openssl pkey -in "$ca/signer.key" -aes256 -passout pass:secret -out "$ca/locked.key" 2>>"$log"
QMVERIFY_SIGN_CERT="$ca/chain.pem" refused "QMVERIFY_SIGN_KEY" "a certificate without a key"
QMVERIFY_SIGN_CERT="$ca/chain.pem" QMVERIFY_SIGN_KEY="$ca/root.key" refused "does not belong" "another key"
QMVERIFY_SIGN_CERT="$ca/chain.pem" QMVERIFY_SIGN_KEY="$ca/locked.key" refused "pass phrase" "a locked key"
QMVERIFY_SIGN_CERT="$ca/tsa.pem" QMVERIFY_SIGN_KEY="$ca/tsa.key" refused "not for code signing" \
  "a time-stamping certificate"
QMVERIFY_SIGN_CERT="$ca/chain.pem" QMVERIFY_SIGN_KEY="pkcs11:object=signer" refused \
  "QMVERIFY_SIGN_PKCS11_MODULE" "a token key without a module"

echo "signing with a key file, without a timestamp"
QMVERIFY_SIGN_CERT="$ca/chain.pem" QMVERIFY_SIGN_KEY="$ca/signer.key" "$release" "$build" "$work/signed" \
  >"$work/signed.log" 2>&1 || fail "make-release could not sign: $(cat "$work/signed.log")"
last=$(tail -n 1 "$work/signed.log")
case $last in
  "signed by \"qmverify test signer\" without a timestamp: the signatures expire with the certificate on "*) ;;
  *) fail "the last line of make-release is '$last'" ;;
esac
(cd "$work/signed" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the signed packages"
verify "$work/signed/$msi" || fail "the signed MSI does not verify: $(cat "$work/verify.log")"
python3 -m zipfile -e "$work/signed/$zip" "$work/zip" || fail "cannot unpack the signed zip"
msiextract -C "$work/msi" "$work/signed/$msi" >>"$log" 2>&1 || fail "cannot unpack the signed MSI"
for program in ui/qmverify.exe cli/qmverify-cli.exe; do
  name=${program#*/}
  in_zip="$work/zip/qmverify-$version-win64/$name"
  in_msi="$work/msi/Quillmark/qmverify/$name"
  verify "$in_zip" || fail "$name in the zip does not verify: $(cat "$work/verify.log")"
  verify "$in_msi" || fail "$name in the MSI does not verify: $(cat "$work/verify.log")"
  cmp -s "$in_zip" "$in_msi" || fail "the zip and the MSI hold different copies of $name"
  osslsigncode remove-signature -in "$in_zip" -out "$work/$name.unsigned" >>"$log" 2>&1 ||
    fail "osslsigncode could not remove the signature of $name"
  cmp -s "$work/$name.unsigned" "$build/$program" || fail "$name without its signature is not this build's $name"
done
if verify "$work/signed/$msi" -time "$after_expiry"; then
  fail "a signature without a timestamp verifies after the certificate expired"
fi
grep -q "certificate has expired" "$work/verify.log" || fail "expired signature: $(cat "$work/verify.log")"

echo "comparing signed packages with this build"
# compare DIR: compare-release's verdict on the packages in DIR.
compare() {
  "$installer/compare-release" "$build" "$1" 2>&1 | tail -n 1
}
verdict=$(compare "$work/signed")
[ "$verdict" = "download matches this build: yes" ] || fail "compare-release of the signed packages: $verdict"
# A signed MSI with one more property, around the same signed programs.
mkdir -p "$work/forged/files" "$work/forged-msi"
cp "$work/msi/Quillmark/qmverify/qmverify.exe" "$work/msi/Quillmark/qmverify/qmverify-cli.exe" \
  "$here/../../res/qmverify.ico" "$work/forged/files/"
sed 's|<Property Id="ARPNOMODIFY" Value="1"/>|&<Property Id="FORGED" Value="1"/>|' \
  "$build/res/installer/qmverify.wxs" >"$work/forged/qmverify.wxs"
grep -q FORGED "$work/forged/qmverify.wxs" || fail "could not add a property to the .wxs"
"$installer/make-msi" "$work/forged/unsigned.msi" "$work/forged/qmverify.wxs" >>"$log" 2>&1 ||
  fail "make-msi could not make the forged MSI"
osslsigncode sign -certs "$ca/chain.pem" -key "$ca/signer.key" -h sha256 -add-msi-dse \
  -in "$work/forged/unsigned.msi" -out "$work/forged-msi/$msi" >>"$log" 2>&1 || fail "could not sign the forged MSI"
cp "$work/signed/$zip" "$work/forged-msi/"
case $(compare "$work/forged-msi") in
  "download matches this build: no: the MSI is not the one made around these programs ("*" table.Property "*) ;;
  *) fail "compare-release of a forged MSI: $(compare "$work/forged-msi")" ;;
esac
# The signed zip with a DLL beside the programs.
mkdir -p "$work/added-dll"
cp "$work/signed/$msi" "$work/signed/$zip" "$work/added-dll/"
mkdir -p "$work/dll/qmverify-$version-win64"
echo "not a DLL of ours" >"$work/dll/qmverify-$version-win64/version.dll"
(cd "$work/dll" && zip -q "$work/added-dll/$zip" "qmverify-$version-win64/version.dll") || fail "could not add to the zip"
case $(compare "$work/added-dll") in
  "download matches this build: no: the zip is not the one made around its programs ("*) ;;
  *) fail "compare-release of a zip with a DLL added: $(compare "$work/added-dll")" ;;
esac

echo "signing with a timestamp, and adding one to the MSI later"
cat >"$ca/tsa.cnf" <<EOF
[ tsa ]
default_tsa = test_tsa
[ test_tsa ]
serial = $ca/tsa.serial
signer_cert = $ca/tsa.pem
signer_key = $ca/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512, sha1
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
echo 01 >"$ca/tsa.serial"
python3 "$here/tsa.py" "$ca/tsa.cnf" "$work/tsa.port" >>"$log" 2>&1 &
tsa_pid=$!
tries=0
while [ ! -s "$work/tsa.port" ]; do
  tries=$((tries + 1))
  [ "$tries" -le 100 ] || fail "the time-stamp authority did not start"
  sleep 0.1
done
url="http://127.0.0.1:$(cat "$work/tsa.port")/"
QMVERIFY_SIGN_CERT="$ca/chain.pem" QMVERIFY_SIGN_KEY="$ca/signer.key" QMVERIFY_SIGN_TIMESTAMP_URL="$url" \
  "$release" "$build" "$work/stamped" >"$work/stamped.log" 2>&1 ||
  fail "make-release could not sign with a timestamp: $(cat "$work/stamped.log")"
[ "$(tail -n 1 "$work/stamped.log")" = "signed by \"qmverify test signer\", timestamped by $url: the signatures outlast the certificate" ] ||
  fail "the last line of make-release is '$(tail -n 1 "$work/stamped.log")'"
python3 -m zipfile -e "$work/stamped/$zip" "$work/stamped-zip" || fail "cannot unpack the timestamped zip"
for file in "$work/stamped/$msi" "$work/stamped-zip/qmverify-$version-win64/qmverify.exe"; do
  verify "$file" -TSA-CAfile "$ca/root.pem" -time "$after_expiry" ||
    fail "$(basename "$file") with a timestamp does not verify after the certificate expired: $(cat "$work/verify.log")"
done
# What the last line of an unstamped packaging advises.
osslsigncode add -add-msi-dse -ts "$url" -in "$work/signed/$msi" -out "$work/stamped-later.msi" >>"$log" 2>&1 ||
  fail "osslsigncode could not add a timestamp to the signed MSI"
verify "$work/stamped-later.msi" -TSA-CAfile "$ca/root.pem" -time "$after_expiry" ||
  fail "the MSI with a timestamp added later does not verify: $(cat "$work/verify.log")"
kill "$tsa_pid"
tsa_pid=""

echo "signing with a key in a PKCS#11 token (SoftHSM2)"
export SOFTHSM2_CONF="$work/softhsm2.conf"
mkdir -p "$work/tokens"
printf 'directories.tokendir = %s\nobjectstore.backend = file\n' "$work/tokens" >"$SOFTHSM2_CONF"
softhsm2-util --init-token --free --label qmverify-test --pin 1234 --so-pin 5678 >>"$log" 2>&1 ||
  fail "SoftHSM2 could not make a token"
softhsm2-util --import "$ca/signer.key" --token qmverify-test --label signer --id 01 --pin 1234 >>"$log" 2>&1 ||
  fail "SoftHSM2 could not take the key"
QMVERIFY_SIGN_CERT="$ca/chain.pem" QMVERIFY_SIGN_PKCS11_MODULE="$module" \
  QMVERIFY_SIGN_KEY="pkcs11:token=qmverify-test;object=signer;type=private;pin-value=1234" \
  "$release" "$build" "$work/token" >"$work/token.log" 2>&1 ||
  fail "make-release could not sign with the token: $(cat "$work/token.log")"
python3 -m zipfile -e "$work/token/$zip" "$work/token-zip" || fail "cannot unpack the zip signed in the token"
for file in "$work/token/$msi" "$work/token-zip/qmverify-$version-win64/qmverify-cli.exe"; do
  verify "$file" || fail "$(basename "$file") signed in the token does not verify: $(cat "$work/verify.log")"
done

echo "installing the signed MSI under Wine; WinVerifyTrust of the installed program"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$WINEPREFIX"
timeout 120 wineboot -i >>"$log" 2>&1 </dev/null || fail "wineboot did not finish"
timeout 60 wineserver -w || fail "wineserver did not end after wineboot"
wineserver -p >>"$log" 2>&1 </dev/null
timeout 60 wine msiexec /i "$work/signed/$msi" /qn >>"$log" 2>&1 </dev/null || fail "msiexec /i of the signed MSI failed"
installed="$WINEPREFIX/drive_c/Program Files/Quillmark/qmverify/qmverify.exe"
[ -f "$installed" ] || fail "the signed MSI installed no qmverify.exe"
cp "$installed" "$WINEPREFIX/drive_c/tampered.exe"
# One byte of the code, far from the headers and the signature.
printf '\220' | dd of="$WINEPREFIX/drive_c/tampered.exe" bs=1 seek=8192 conv=notrunc 2>>"$log"
cmp -s "$installed" "$WINEPREFIX/drive_c/tampered.exe" && fail "the copy was not changed"
cp "$build/ui/qmverify.exe" "$WINEPREFIX/drive_c/unsigned.exe"
timeout 60 wine "$verify_trust" 'C:\Program Files\Quillmark\qmverify\qmverify.exe' 'C:\tampered.exe' \
  'C:\unsigned.exe' 2>>"$log" </dev/null | tr -d '\r' >"$work/trust.txt" || true
expected='0x00000000 C:\Program Files\Quillmark\qmverify\qmverify.exe
0x80096010 C:\tampered.exe
0x800B0100 C:\unsigned.exe'
[ "$(cat "$work/trust.txt")" = "$expected" ] ||
  fail "WinVerifyTrust answered (0 intact, 0x80096010 bad digest, 0x800B0100 unsigned):
$(cat "$work/trust.txt")"

echo "the signers of changed files: signed, unsigned, signature broken"
# Three programs recorded unsigned, then replaced: by the signed program, by
# another unsigned one, and by the signed one with a byte changed.
inst="$WINEPREFIX/drive_c/inst"
mkdir -p "$inst/win" "$inst/root/qmw" "$inst/root/db1"
for name in signed unsigned broken; do
  cp "$build/ui/qmverify.exe" "$inst/root/qmw/$name.exe"
done
cp "$build/cli/qmverify-cli.exe" "$inst/root/db1/store.dll"
compare() {
  timeout 60 wine 'C:\Program Files\Quillmark\qmverify\qmverify-cli.exe' --windir 'C:\inst\win' \
    --root 'C:\inst\root' compare "$@" 2>>"$log" </dev/null
}
compare >/dev/null || fail "the first compare did not record the files"
cp "$installed" "$inst/root/qmw/signed.exe"
cp "$build/cli/qmverify-cli.exe" "$inst/root/qmw/unsigned.exe"
cp "$WINEPREFIX/drive_c/tampered.exe" "$inst/root/qmw/broken.exe"
compare --format json >"$work/signers.json" && fail "a compare of changed files exited with 0"
signers=$(python3 -c '
import json, sys
for row in sorted(json.load(open(sys.argv[1])), key=lambda row: row["filename"]):
    print(row["filename"], row["status"], row["signatureState"], row["signer"], sep="|")
' "$work/signers.json")
[ "$signers" = '\db1.\store.dll|Identical|None|None
\qmw.\broken.exe|Not identical|broken|None
\qmw.\signed.exe|Not identical|signed|qmverify test signer
\qmw.\unsigned.exe|Not identical|unsigned|None' ] || fail "the signers of the changed files are:
$signers"

echo "signing: all checks passed"
