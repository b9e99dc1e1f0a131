#!/usr/bin/env bash
# Signs the release in dist/ with the publisher's code-signing certificate
# (Authenticode, SHA-256): Tessaly.exe and pixkit.dll in place, then the zip
# again from the signed files. Run it after the shipped build:
#
#   cmake --build --preset win32
#   TESSALY_SIGNING_PASSWORD_FILE=~/release.pass scripts/sign-release.sh release.p12
#
# The certificate is a PKCS#12 file (.p12/.pfx) with its key and, best, its
# chain. Its password comes from TESSALY_SIGNING_PASSWORD or from the first
# line of the file TESSALY_SIGNING_PASSWORD_FILE names; it reaches openssl
# and osslsigncode through a pipe, never on a command line that ps shows.
# TESSALY_TIMESTAMP_URL names an RFC 3161 time-stamp server (optional): a
# time-stamped signature stays valid after the certificate expires, but the
# server's answer differs on every call, so the files are not reproducible.
#
# The signing time is SOURCE_DATE_EPOCH, else the zip's own time (the last
# commit's; cmake/make-zip.py): the same certificate signs the same files to
# the same bytes. The files are signed as copies beside dist/, checked, and
# moved in zip first: a run cut short leaves dist/ with both binaries
# unsigned or only one signed, never both signed beside the old zip. On any
# error dist/ stays as it was. Files that carry a signature already are left
# alone once the zip is seen to hold them.
#
# TESSALY_DIST (default dist/) and TESSALY_BUILD (default build/win32, whose
# install manifest lists what the zip holds) let the tests sign a copy.
set -euo pipefail
# The password stays in this shell alone: out of the environment of every
# program the script starts, from the first on (read further down).
export -n TESSALY_SIGNING_PASSWORD
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${TESSALY_DIST:-$root/dist}
build=${TESSALY_BUILD:-$root/build/win32}
signed=(Tessaly.exe pixkit.dll)

fail() { echo "sign-release: $*" >&2; exit 1; }

for tool in osslsigncode openssl python3; do
  command -v $tool >/dev/null || fail "$tool not found (Debian: apt-get install osslsigncode openssl python3)"
done
[ $# -eq 1 ] || fail "usage: scripts/sign-release.sh CERT.p12 (password in TESSALY_SIGNING_PASSWORD or TESSALY_SIGNING_PASSWORD_FILE)"
cert=$1
manifest=$build/install_manifest_shipped.txt
[ -f "$manifest" ] || fail "no $manifest: build first (cmake --build --preset win32)"
for file in "${signed[@]}"; do
  [ -f "$dist/$file" ] || fail "no $dist/$file: build first (cmake --build --preset win32)"
done

# Scratch files (the certificate's chain) in a private folder; the copies
# being signed beside dist/'s real folder (a link to it, dist/. or a link
# onto another file system name the same), so that moving them in is a
# rename. The trap is set before either folder is made, so that it removes
# each one made.
work= stage=
trap 'rm -rf "$work" "$stage"' EXIT
dist_real=$(cd "$dist" && pwd -P) || fail "cannot enter $dist"
[ "$dist_real" != / ] || fail "$dist is the root folder: name the release's own folder as TESSALY_DIST"
work=$(mktemp -d)
stage=$(mktemp -d "$(dirname "$dist_real")/$(basename "$dist_real").signing.XXXXXX")

# Signed already: both files or neither, else dist/ is half a build.
count=0
for file in "${signed[@]}"; do
  if osslsigncode extract-signature -in "$dist/$file" -out "$work/$file.sig" >/dev/null 2>&1; then
    count=$((count + 1))
  fi
done
zips=("$dist"/Tessaly-*-win32.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "not one zip in $dist: ${zips[*]##*/}"
zip=${zips[0]##*/}
if [ $count -eq ${#signed[@]} ]; then
  python3 "$root/cmake/make-zip.py" --holds "$dist/$zip" "$dist" ||
    fail "${signed[*]} in $dist are signed, but $zip does not hold them: build again (cmake --build --preset win32), then sign"
  echo "sign-release: ${signed[*]} in $dist are signed already: nothing changed"
  exit 0
elif [ $count -ne 0 ]; then
  fail "only some of ${signed[*]} in $dist are signed: build again (cmake --build --preset win32), then sign"
fi

# The password, once, from where the release engineer keeps it (a file
# written on Windows ends its line in CR LF).
if [ -n "${TESSALY_SIGNING_PASSWORD_FILE:-}" ]; then
  [ -r "$TESSALY_SIGNING_PASSWORD_FILE" ] || fail "cannot read the password file $TESSALY_SIGNING_PASSWORD_FILE (TESSALY_SIGNING_PASSWORD_FILE)"
  IFS= read -r password <"$TESSALY_SIGNING_PASSWORD_FILE" || true
  password=${password%$'\r'}
elif [ -n "${TESSALY_SIGNING_PASSWORD+set}" ]; then
  password=$TESSALY_SIGNING_PASSWORD
else
  fail "no password: set TESSALY_SIGNING_PASSWORD or TESSALY_SIGNING_PASSWORD_FILE"
fi
[ -f "$cert" ] && [ -r "$cert" ] || fail "cannot read the certificate file $cert"

# The certificate and its chain out of the PKCS#12 file (-legacy: files
# exported by older Windows use RC2 and 3DES).
if ! printf '%s\n' "$password" | openssl pkcs12 -legacy -in "$cert" -passin stdin -nokeys \
       -out "$work/chain.pem" 2>"$work/openssl.err"; then
  if grep -q "invalid password" "$work/openssl.err"; then
    fail "wrong password for $cert"
  fi
  fail "$cert is not a PKCS#12 certificate file: $(head -1 "$work/openssl.err")"
fi
printf '%s\n' "$password" | openssl pkcs12 -legacy -in "$cert" -passin stdin -nokeys -clcerts \
  -out "$work/leaf.pem" 2>/dev/null
subject=$(openssl x509 -in "$work/leaf.pem" -noout -subject -nameopt oneline)
subject=${subject#subject=}
# Windows takes an Authenticode signature only from a certificate for code
# signing, and, without a time stamp, only while the certificate is valid.
openssl x509 -in "$work/leaf.pem" -noout -ext extendedKeyUsage 2>/dev/null | grep -q "Code Signing" ||
  fail "$cert ($subject) is not for code signing: its extended key usage lacks 1.3.6.1.5.5.7.3.3"
openssl x509 -in "$work/leaf.pem" -noout -checkend 0 >/dev/null ||
  fail "$cert ($subject) has expired: $(openssl x509 -in "$work/leaf.pem" -noout -enddate)"
not_before=$(openssl x509 -in "$work/leaf.pem" -noout -startdate)
[ "$(date -u -d "${not_before#notBefore=}" +%s)" -le "$(date -u +%s)" ] ||
  fail "$cert ($subject) is not valid yet: $not_before"

skip=(--skip "$root/build" --skip "$build" --skip "$dist" --skip "$stage")
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(python3 "$root/cmake/make-zip.py" --source-date "${skip[@]}")}
timestamp=()
if [ -n "${TESSALY_TIMESTAMP_URL:-}" ]; then
  timestamp=(-ts "$TESSALY_TIMESTAMP_URL")
fi

# Every file of the release in the stage, the two binaries signed there and
# checked against the certificate's own chain (and the system's roots, for
# the time stamp).
cp -p -R "$dist/." "$stage/"
cat "$work/chain.pem" /etc/ssl/certs/ca-certificates.crt >"$work/trusted.pem" 2>/dev/null || true
for file in "${signed[@]}"; do
  rm -f "$stage/$file"   # osslsigncode writes a new file only
  # osslsigncode 2.5 (Debian 12) reads -readpass as a file name only, 2.9
  # also takes "-" for standard input: a pipe on a descriptor of its own
  # serves both, and its text is never a file.
  if ! osslsigncode sign -pkcs12 "$cert" -readpass /dev/fd/3 -h sha256 \
         -time "$SOURCE_DATE_EPOCH" "${timestamp[@]}" -in "$dist/$file" -out "$stage/$file" \
         >"$work/sign.log" 2>&1 3< <(printf '%s\n' "$password"); then
    fail "osslsigncode could not sign $file:$(printf '\n  %s' "$(cat "$work/sign.log")")"
  fi
  chmod --reference="$dist/$file" "$stage/$file"
  if ! osslsigncode verify -CAfile "$work/trusted.pem" -in "$stage/$file" >"$work/verify.log" 2>&1; then
    fail "the signature of $file does not verify:$(printf '\n  %s' "$(grep -iE "error|fail" "$work/verify.log")")"
  fi
done

# The zip again, of the same files as the build's (its install manifest),
# now read from the stage.
prefix=$(sed -n 's/^TESSALY_DIST_DIR:PATH=//p' "$build/CMakeCache.txt")
while IFS= read -r path || [ -n "$path" ]; do   # the last line has no line end
  [[ $path == "$prefix"/* ]] || fail "$manifest lists $path, not below $prefix"
  printf '%s\n' "$stage/${path#"$prefix"/}"
done <"$manifest" >"$work/manifest.txt"
python3 "$root/cmake/make-zip.py" "$stage/$zip" "${zip%.zip}" "$stage" "$work/manifest.txt"

for file in "$zip" "${signed[@]}"; do
  mv -f "$stage/$file" "$dist/$file"
done
echo "sign-release: signed ${signed[*]} in $dist as $subject (SHA-256, signing time $(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC')${timestamp:+, time-stamped by $TESSALY_TIMESTAMP_URL}) and wrote $zip again"
