#!/usr/bin/env bash
# Authenticode signature for release files, made with osslsigncode: SHA-256, the product's name
# and web address, and a time stamp when a server is named. The key comes from the environment:
#   PENDRAKE_SIGN_PKCS12=<file.p12 or .pfx>      certificate chain and key in one file, or
#   PENDRAKE_SIGN_CERT=<certificate chain, PEM or DER> and PENDRAKE_SIGN_KEY=<private key>;
#   PENDRAKE_SIGN_PASS_FILE=<file whose first line is the password>    (optional, either way)
#   PENDRAKE_SIGN_TIMESTAMP_URL=<RFC 3161 time-stamp server>           (optional)
#
#   tools/sign.sh FILE...    signs each PE file or Windows Installer package in place
#   tools/sign.sh --status   prints one line: signed with which key, or not signed
# Without a key it signs nothing and succeeds, so that every build can call it. A key named only
# in part (a certificate without its key, or both kinds at once) is an error: a release must not
# come out unsigned because of a typing mistake.
set -euo pipefail

readonly PRODUCT_NAME="Pendrake"
readonly PRODUCT_ADDRESS="https://www.orvelle.com/pendrake"

pkcs12="${PENDRAKE_SIGN_PKCS12:-}"
cert="${PENDRAKE_SIGN_CERT:-}"
key="${PENDRAKE_SIGN_KEY:-}"
pass_file="${PENDRAKE_SIGN_PASS_FILE:-}"
timestamp_url="${PENDRAKE_SIGN_TIMESTAMP_URL:-}"

fail() { echo "sign: $*" >&2; exit 2; }

if [ -n "$pkcs12" ] && { [ -n "$cert" ] || [ -n "$key" ]; }; then
  fail "PENDRAKE_SIGN_PKCS12 and PENDRAKE_SIGN_CERT/PENDRAKE_SIGN_KEY both set: name one key"
fi
if { [ -n "$cert" ] && [ -z "$key" ]; } || { [ -z "$cert" ] && [ -n "$key" ]; }; then
  fail "PENDRAKE_SIGN_CERT and PENDRAKE_SIGN_KEY go together"
fi
if [ -z "$pkcs12" ] && [ -z "$cert" ] && [ -n "$pass_file$timestamp_url" ]; then
  fail "PENDRAKE_SIGN_PASS_FILE or PENDRAKE_SIGN_TIMESTAMP_URL set without a key"
fi

key_args=()
if [ -n "$pkcs12" ]; then
  key_args=(-pkcs12 "$pkcs12")
  described="the certificate in $pkcs12"
elif [ -n "$cert" ]; then
  key_args=(-certs "$cert" -key "$key")
  described="the certificate $cert"
fi
for file in "$pkcs12" "$cert" "$key" "$pass_file"; do
  [ -z "$file" ] || [ -r "$file" ] || fail "cannot read $file"
done
[ -z "$pass_file" ] || key_args+=(-readpass "$pass_file")

if [ "${1:-}" = "--status" ]; then
  if [ ${#key_args[@]} -eq 0 ]; then
    echo "not signed: set PENDRAKE_SIGN_PKCS12, or PENDRAKE_SIGN_CERT and PENDRAKE_SIGN_KEY, to sign"
  else
    echo "signed with $described${timestamp_url:+, time-stamped by $timestamp_url}"
  fi
  exit 0
fi
[ ${#key_args[@]} -gt 0 ] || exit 0

stamp_args=()
[ -z "$timestamp_url" ] || stamp_args=(-ts "$timestamp_url")
for file in "$@"; do
  # Written beside the file and moved over it only when complete: an interrupted signing
  # leaves the unsigned file, never half a signed one.
  signed="$file.signing"
  rm -f "$signed"
  if ! osslsigncode sign "${key_args[@]}" -h sha256 -n "$PRODUCT_NAME" -i "$PRODUCT_ADDRESS" \
       "${stamp_args[@]}" -in "$file" -out "$signed" >"$signed.log" 2>&1; then
    cat "$signed.log" >&2
    rm -f "$signed" "$signed.log"
    fail "signing $file failed"
  fi
  rm -f "$signed.log"
  chmod --reference="$file" "$signed"
  mv -f "$signed" "$file"
done
