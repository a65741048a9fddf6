# Sourced by the scripts that build a variant of the sources for a test
# fixture (signed_build.sh, version_build.sh), after they set work: the
# build's output goes to work/build.log, and a failure shows its end.
mkdir -p "$work"
log=$work/build.log
: >"$log"
fail() {
    tail -30 "$log"
    echo "FAIL $1; see $log"
    exit 1
}
