#!/usr/bin/env bash
# The build's signing step (scripts/sign-windows.sh) on copies of the built programs and installer, with a
# throwaway self-signed certificate made here: without a certificate it leaves a file as it was; with one,
# and with a password-protected key, osslsigncode verifies the signature against that certificate and
# not against another.
#   windows-signing-test.sh SIGN_SCRIPT FILE.exe...
set -uo pipefail
sign=$1
shift
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

certificate() {  # NAME [openssl key option...]: NAME.pem and NAME.key
  local name=$1
  shift
  openssl req -x509 -newkey rsa:2048 -days 2 -subj "/CN=Pelmora test $name" "$@" \
    -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
    -keyout "$work/$name.key" -out "$work/$name.pem" 2>/dev/null || { echo "openssl cannot make $name" >&2; exit 1; }
}
certificate plain -noenc
echo 'throwaway password' >"$work/password"
certificate protected -passout "file:$work/password"
certificate other -noenc

for file in "$@"; do
  copy=$work/$(basename "$file")
  cp "$file" "$copy" || exit 1
  PELMORA_SIGN_CERT= PELMORA_SIGN_KEY= bash "$sign" "$copy" 2>/dev/null || fail "unsigned run failed on $copy"
  cmp -s "$file" "$copy" || fail "changed without a certificate: $copy"

  for name in plain protected; do
    cp "$file" "$copy"
    password=
    [ "$name" = protected ] && password=$work/password
    PELMORA_SIGN_CERT=$work/$name.pem PELMORA_SIGN_KEY=$work/$name.key PELMORA_SIGN_PASSWORD_FILE=$password \
      bash "$sign" "$copy" || { fail "$name: could not sign $copy"; continue; }
    verified=$(osslsigncode verify -CAfile "$work/$name.pem" -in "$copy" 2>&1) ||
      fail "$name: $copy does not verify:"$'\n'"$verified"
    grep -q "Subject: /CN=Pelmora test $name" <<<"$verified" || fail "$name: signer not named in:"$'\n'"$verified"
    osslsigncode verify -CAfile "$work/other.pem" -in "$copy" >/dev/null 2>&1 &&
      fail "$name: $copy verifies against a certificate that did not sign it"
  done
done
exit "$failed"
