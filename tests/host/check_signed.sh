#!/bin/bash
# check_signed.sh WORK CHECK_SEAL SOURCE PACKAGE_ID UNSIGNED: the signed variant that
# signed_build.sh made in WORK, checked with tools apart from the build's:
# osslsigncode verifies each of the three programs against the throwaway
# certificate, and no longer once a byte of it is changed; the two inside
# Setup are taken from its own bytes and expanded by msexpand. Setup's seal
# and PE checksum hold after signing (CHECK_SEAL); its manifest describes
# the signed file and holds the download address exactly; the manifest
# target describes a Setup signed afterwards, and refuses UNSIGNED, the
# test build's unsigned Setup.
set -u
work=$1 check_seal=$2 source=$3 package=$4 unsigned=$5
build=$work/build cert=$work/key/cert.pem
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0 failed=0
# check NAME WHY COMMAND...: one counted result; a failure tells why and
# the last lines of what the command wrote to $out.
out=$scratch/out.log
check() {
    local name=$1 why=$2
    shift 2
    : >"$out"
    if "$@"; then
        echo "ok   $name"
        passed=$((passed + 1))
    else
        echo "FAIL $name: $why"
        tail -8 "$out" | sed 's/^/    /'
        failed=$((failed + 1))
    fi
}
verifies() {
    osslsigncode verify -CAfile "$cert" -in "$1" >"$out" 2>&1
}
fails_to_verify() {
    ! verifies "$1"
}
sealed() {
    "$check_seal" "$1" >"$out" 2>&1
}
manifest_describes() {
    /usr/bin/python3 "$source/tests/host/check_manifest.py" "$build/packaging" "$package" "$1" \
        "$source/tests/host/winget-schemas" "$build/layers/product-facts/product_facts.h" "$work/download-url.txt" \
        >>"$out" 2>&1
}
# The file with one byte a third of the way in changed: inside a section,
# which the signature covers.
changed() {
    local size offset byte
    cp "$1" "$2"
    size=$(stat -c %s "$2")
    offset=$((size / 3))
    byte=$(od -An -tu1 -j "$offset" -N1 "$2" | tr -d ' ')
    printf "\\$(printf %03o $((byte ^ 0x20)))" | dd of="$2" bs=1 seek="$offset" conv=notrunc status=none
}
inside() {
    /usr/bin/python3 -c 'import sys; sys.exit(open(sys.argv[1], "rb").read() not in open(sys.argv[2], "rb").read())' "$@"
}

setup=$build/pictavo-setup.exe
programs=("$setup")
for row in "pictav~1.ex_ pictavo.exe" "uninst~1.ex_ uninstall.exe"; do
    read -r compressed name <<<"$row"
    check "$name, compressed, is what Setup carries" "$build/payload/$compressed is not inside $setup" \
        inside "$build/payload/$compressed" "$setup"
    msexpand <"$build/payload/$compressed" >"$scratch/$name" 2>/dev/null
    # The files that the installation test compares the installed ones with.
    check "$name expands to the file the build recorded" "differs from $build/payload/expanded/$name" \
        cmp -s "$scratch/$name" "$build/payload/expanded/$name"
    programs+=("$scratch/$name")
done
for program in "${programs[@]}"; do
    name=$(basename "$program")
    check "$name verifies against the test certificate" "osslsigncode verify failed" verifies "$program"
    changed "$program" "$scratch/changed-$name"
    check "$name with a changed byte fails to verify" "osslsigncode still verifies it" \
        fails_to_verify "$scratch/changed-$name"
done

check "the signed Setup keeps its seal and has a PE checksum to match" "not so" sealed "$setup"
check "the manifest describes the signed Setup and holds the download address exactly" "not so" \
    manifest_describes "$setup"
stray=$(find "$work" -name 'shell-ran*')
check "no shell ran the download address" "found $stray" [ -z "$stray" ]

afterwards=$work/signed-afterwards.exe
check "Setup signed afterwards verifies" "osslsigncode verify failed" verifies "$afterwards"
check "Setup signed afterwards keeps its seal and has a PE checksum to match" "not so" sealed "$afterwards"
rewrite() {
    cmake --build "$build" --target signed_package_manifest >"$out" 2>&1 && manifest_describes "$afterwards"
}
check "the manifest target describes Setup signed afterwards" "not so" rewrite
refused() {
    ! "$build/host/seal_image" --check-signed "$unsigned" >"$out" 2>&1 && grep -q "carries no signature" "$out"
}
check "the manifest target refuses a Setup that carries no signature" "not so" refused

# The other two ways to a key, through the signing step itself, on a copy
# of the unsigned Setup (the seal checked too): a PKCS#12 file whose
# password the tool reads from an owner-only file, and a command of the
# publisher's own that signs the file in place.
openssl pkcs12 -export -in "$cert" -inkey "$work/key/key.pem" -out "$scratch/key.p12" \
    -passout pass:"it's a secret & more" 2>/dev/null
printf '%s\n' "it's a secret & more" >"$scratch/password"
chmod 600 "$scratch/password"
cat >"$scratch/sign here.sh" <<SCRIPT
#!/bin/sh
osslsigncode sign -certs "$cert" -key "$work/key/key.pem" -h sha256 -in "\$1" -out "\$1.new" >/dev/null &&
    mv "\$1.new" "\$1"
SCRIPT
chmod +x "$scratch/sign here.sh"
# sign_step WAY SETTING...: the step run on a fresh copy, $scratch/step/pictavo-setup.exe.
sign_step() {
    local way=$1
    shift
    mkdir -p "$scratch/step"
    cp "$unsigned" "$scratch/step/pictavo-setup.exe"
    cmake -DFILE="$scratch/step/pictavo-setup.exe" -DWAY="$way" -DOSSLSIGNCODE="$(command -v osslsigncode)" \
        -DSEAL_TOOL="$build/host/seal_image" "$@" -P "$source/cmake/SignFile.cmake" >"$out" 2>&1
}
signs() {
    sign_step "$@" && verifies "$scratch/step/pictavo-setup.exe"
}
refuses() {
    local said=$1
    shift
    ! sign_step "$@" && tr -s ' \n' ' ' <"$out" | grep -q "$said" && [ ! -e "$scratch/step/pictavo-setup.exe" ]
}
check "a PKCS#12 file with its password in an owner-only file signs" "not so" \
    signs pkcs12 -DPKCS12="$scratch/key.p12" -DPASSWORD_FILE="$scratch/password"
check "a command of the publisher's own signs" "not so" signs command -DSIGN_COMMAND="$scratch/sign here.sh"
check "a command that signs nothing fails the step and leaves no file" "not so" \
    refuses "carries no signature" command -DSIGN_COMMAND=true
chmod 640 "$scratch/password"
check "a password file that others may read fails the step and leaves no file" "not so" \
    refuses "chmod 600" pkcs12 -DPKCS12="$scratch/key.p12" -DPASSWORD_FILE="$scratch/password"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
