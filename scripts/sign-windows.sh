#!/usr/bin/env bash
# Signs Windows programs and installers in place (Authenticode, SHA-256) with Debian's osslsigncode, when
# a certificate and its key are given in the environment:
#   PELMORA_SIGN_CERT           the certificate, PEM or DER (a CA-issued one with its chain)
#   PELMORA_SIGN_KEY            its private key, PEM or DER
#   PELMORA_SIGN_PASSWORD_FILE  optional: a file that holds the key's password
#   PELMORA_SIGN_TIMESTAMP      optional: an RFC 3161 time-stamp server's URL; without it, no time stamp,
#                               and the signature stops verifying when the certificate expires
#   sign-windows.sh FILE...
# Without a certificate and key it signs nothing and says so. scripts/build-windows.sh signs through this
# script, as the build links each program and as makensis writes the installer and its uninstaller.
set -euo pipefail
if [ -z "${PELMORA_SIGN_CERT:-}" ] || [ -z "${PELMORA_SIGN_KEY:-}" ]; then
  echo "sign-windows.sh: PELMORA_SIGN_CERT and PELMORA_SIGN_KEY not set, left unsigned: $*" >&2
  exit 0
fi
options=(-certs "$PELMORA_SIGN_CERT" -key "$PELMORA_SIGN_KEY" -h sha256 -n "Pelmora configuration software")
[ -z "${PELMORA_SIGN_PASSWORD_FILE:-}" ] || options+=(-readpass "$PELMORA_SIGN_PASSWORD_FILE")
[ -z "${PELMORA_SIGN_TIMESTAMP:-}" ] || options+=(-ts "$PELMORA_SIGN_TIMESTAMP")
for file in "$@"; do
  signed=$file.signed
  if ! osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >/dev/null; then
    rm -f "$signed"
    echo "sign-windows.sh: could not sign $file" >&2
    exit 1
  fi
  mv "$signed" "$file"
done
