#!/bin/bash
# scripts/sign-release.sh on copies of dist/ (never dist/ itself), with a
# throwaway CA and code-signing certificates that openssl makes here:
#   signing-test.sh sign WORK DIST BUILD EXE.debug DLL.debug
#       signs WORK/signed, a copy of DIST, and checks that osslsigncode
#       verifies both files, that a second run changes nothing and that a
#       second copy signs to the same bytes; puts the .debug files beside
#       the signed ones for the binary check
#   signing-test.sh bad-input WORK DIST BUILD
#       each bad certificate or password fails with its message and leaves
#       the copy's bytes as they were
#   signing-test.sh trust WORK VERIFY_TRUST.exe WINE...
#       WinVerifyTrust's answer for signed, changed and unsigned files
set -u
mode=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
sign=$here/../../scripts/sign-release.sh
failed=0
check() {   # check WHAT EXPECTED SEEN; texts of several lines as a diff
  if [ "$2" != "$3" ]; then
    echo "FAIL $1"
    if [[ $2 == *$'\n'* ]]; then
      diff <(echo "$2") <(echo "$3") | sed 's/^/  /'
    else
      printf '  expected: %s\n  saw:      %s\n' "$2" "$3"
    fi
    failed=1
  fi
}
sums() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
# The signing script with only the test's settings: no password or time
# stamp server from the caller's environment, the commit's time.
run_sign() {   # run_sign FOLDER CERT PASSWORD_FILE [NAME=VALUE...]
  env -u TESSALY_SIGNING_PASSWORD -u TESSALY_TIMESTAMP_URL -u SOURCE_DATE_EPOCH \
      TESSALY_DIST="$1" TESSALY_BUILD="$build" TESSALY_SIGNING_PASSWORD_FILE="$3" "${@:4}" "$sign" "$2" 2>&1
}

case $mode in
sign)
  dist=$3 build=$4
  rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
  # A CA, and from it a code-signing certificate, one for servers only and
  # one that expired yesterday, each in a PKCS#12 file with the CA.
  printf 'test pass\n' >password.txt
  printf 'not the password\n' >wrong.txt
  printf 'test pass\r\n' >password-crlf.txt   # as a Windows editor saves it
  openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 30 -subj "/CN=Tessaly Test CA" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign 2>/dev/null
  openssl x509 -in ca.pem -outform DER -out ca.cer
  openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Tessaly Test Signer" 2>/dev/null
  # A validity that ended in the past: OpenSSL 3.0 (Debian 12) takes
  # negative days, 3.5 (Debian 13) refuses them but takes the dates.
  if openssl x509 -help 2>&1 | grep -q -- -not_after; then
    expired=(-not_before 20200101000000Z -not_after 20200102000000Z)
  else
    expired=(-days -1)
  fi
  #    certificate  validity  extended key usage
  while read -r name validity usage; do
    if [ "$validity" = expired ]; then validity=("${expired[@]}"); else validity=(-days "$validity"); fi
    openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key "${validity[@]}" -out "$name.pem" \
      -extfile <(printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' "$usage") 2>/dev/null
    openssl pkcs12 -export -in "$name.pem" -inkey signer.key -certfile ca.pem -out "$name.p12" -passout file:password.txt
    [ -s "$name.p12" ] || { echo "FAIL openssl made no $name.p12 (validity ${validity[*]}, usage $usage)"; exit 1; }
  done <<'EOF'
good     30  codeSigning
server   30  serverAuth
expired  expired  codeSigning
EOF
  cp -a "$dist" unsigned && cp -a unsigned signed && cp -a unsigned again
  # osslsigncode as the script starts it, noting a password in its environment.
  mkdir shim && printf '#!/bin/sh\n[ -z "${TESSALY_SIGNING_PASSWORD+set}" ] || echo "osslsigncode $1" >>%q\nexec %q "$@"\n' \
    "$PWD/leaked" "$(command -v osslsigncode)" >shim/osslsigncode && chmod +x shim/osslsigncode
  start=$(date +%s%N)
  out=$(run_sign signed good.p12 "" TESSALY_SIGNING_PASSWORD="test pass" PATH="$PWD/shim:$PATH") ||
    check "signing a copy of $dist" "success" "$out"
  echo "$out"
  echo "signing took $((($(date +%s%N) - start) / 1000000)) ms"
  check "the password in the environment of the programs the script starts" "" "$(cat leaked 2>/dev/null)"
  for file in Tessaly.exe pixkit.dll; do
    check "osslsigncode verify signed/$file" "Succeeded" \
      "$(osslsigncode verify -CAfile ca.pem -in "signed/$file" 2>&1 | tail -1)"
    echo "$file: $(stat -c %s "unsigned/$file") bytes unsigned, $(stat -c %s "signed/$file") signed"
  done
  before=$(sums signed)
  out=$(run_sign signed good.p12 password.txt)
  check "a second run on signed files says so" "signed already" "$(grep -o "signed already" <<<"$out" || echo "$out")"
  check "a second run leaves the files as they were" "$before" "$(sums signed)"
  # Signed files beside the unsigned zip, as three separate moves cut short left them.
  rm -rf half && cp -a signed half && cp unsigned/*.zip half/
  check "signed files beside an old zip are not signed already" "does not hold them" \
    "$(run_sign half good.p12 password.txt | grep -o "does not hold them" || echo "signed already")"
  run_sign again good.p12 password-crlf.txt >/dev/null
  check "a second signing of the same files (password file in CR LF) gives the same bytes" "$before" "$(sums again)"
  cp "$5" signed/Tessaly.exe.debug && cp "$6" signed/pixkit.dll.debug
  ;;
bad-input)
  dist=$3 build=$4
  cd "$work" && rm -rf bad bad.signing.* && cp -a "$dist" bad || exit 1
  before=$(sums bad; ls -a)
  #  certificate   password file  folder  the message
  while read -r cert password folder message; do
    out=$(run_sign "$folder" "$cert" "$password") && out="success: $out"
    seen=$(grep -oF "$message" <<<"$out" | head -1)
    check "$cert with $password on $folder" "$message" "${seen:-$out}"
    check "$cert with $password on $folder leaves the copy as it was" "$before" "$(sums bad; ls -a)"
  done <<'EOF'
good.p12     wrong.txt     bad     wrong password for good.p12
missing.p12  password.txt  bad     cannot read the certificate file missing.p12
server.p12   password.txt  bad     server.p12 (CN = Tessaly Test Signer) is not for code signing
expired.p12  password.txt  bad     expired.p12 (CN = Tessaly Test Signer) has expired
EOF
  ;;
trust)
  verify=$3 wine=("${@:4}")
  cd "$work" || exit 1
  rm -rf tampered && mkdir tampered && cp signed/Tessaly.exe tampered/
  # One byte in the middle of the signed image changed (the signature is at the end).
  size=$(stat -c %s tampered/Tessaly.exe)
  printf '\x5a' | dd of=tampered/Tessaly.exe bs=1 seek=$((size / 2)) conv=notrunc status=none
  cmp -s signed/Tessaly.exe tampered/Tessaly.exe && check "changing a byte of tampered/Tessaly.exe" "a change" "none"
  # WinVerifyTrust's results as Windows documents them, with the test CA
  # among the trusted roots (see verify_trust.c): 0, TRUST_E_BAD_DIGEST,
  # TRUST_E_NOSIGNATURE.
  #  file                  expected
  table='signed/Tessaly.exe    0x00000000
signed/pixkit.dll     0x00000000
tampered/Tessaly.exe  0x80096010
unsigned/Tessaly.exe  0x800B0100
unsigned/pixkit.dll   0x800B0100'
  to_win() { local path; path=$(readlink -f "$1"); printf 'Z:%s' "${path//\//\\}"; }
  files=() expected=""
  while read -r file result; do
    files+=("$(to_win "$file")")
    expected+="$result $(to_win "$file")"$'\n'
  done <<<"$table"
  seen=$("${wine[@]}" "$verify" /trust "$(to_win ca.cer)" "${files[@]}" 2>&1 | tr -d '\r')
  check "WinVerifyTrust of each file" "${expected%$'\n'}" "$seen"
  # Without files it stops at its arguments, before the root store: the
  # certificate named (none there) is not even read.
  check "verify_trust /trust without files" "usage: verify_trust [/trust CA.cer] FILE..." \
    "$("${wine[@]}" "$verify" /trust "$(to_win missing.cer)" 2>&1 | tr -d '\r')"
  ;;
*)
  echo "unknown mode $mode" >&2
  exit 2
  ;;
esac
exit $failed
