#!/bin/bash
# signed_build.sh SOURCE WORK TOOLCHAIN SETUP: the signed variant that the
# signing checks share (a CTest fixture). Makes a throwaway code-signing
# certificate, builds the installer from SOURCE in WORK/build with it and
# with a download address that a shell would run as commands, and signs
# SETUP, the test build's unsigned installer, afterwards as a publisher's
# own tool would, into WORK/signed-afterwards.exe. The build folder is kept
# between runs, so a run builds what changed and signs everything again.
set -u
source=$1 work=$2 toolchain=$3 setup=$4
. "$(dirname "$0")/build_log.sh"

key=$work/key
rm -rf "$key" "$work/signed-afterwards.exe" "$work/build/packaging"
find "$work" -name 'shell-ran*' -delete
mkdir -p "$key"
chmod 700 "$key"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pictavo test signer, thrown away after the test" \
    -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
    -addext basicConstraints=critical,CA:FALSE -keyout "$key/key.pem" -out "$key/cert.pem" >>"$log" 2>&1 ||
    fail "openssl made no certificate"

# A real query string has '&'; a quote and '>' after it would have a shell
# write files named shell-ran* into the build folder.
url="https://downloads.example.com/pictavo/setup.exe?channel=stable&id>shell-ran&name=O'Brien's&x=1;id>shell-ran2"
printf '%s' "$url" >"$work/download-url.txt"

cmake -S "$source" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBUILD_TESTING=OFF \
    -DPICTAVO_SIGNING_CERT="$key/cert.pem" -DPICTAVO_SIGNING_KEY="$key/key.pem" -DPICTAVO_DOWNLOAD_URL="$url" \
    -DPICTAVO_SIGNED_SETUP="$work/signed-afterwards.exe" >>"$log" 2>&1 || fail "the signed variant did not configure"
# The installer and its manifest, and the sealing tool that the manifest
# target of a Setup signed afterwards runs; nothing of the tests.
cmake --build "$work/build" --target package_manifest host_seal_image -j 2 >>"$log" 2>&1 ||
    fail "the signed variant did not build"
osslsigncode sign -certs "$key/cert.pem" -key "$key/key.pem" -h sha256 -in "$setup" \
    -out "$work/signed-afterwards.exe" >>"$log" 2>&1 || fail "osslsigncode did not sign $setup"
echo "ok   built the signed variant in $work/build and signed $setup afterwards"
