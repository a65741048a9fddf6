#!/bin/bash
# test_szdd.sh SZDD_ENCODE: files packed by the encoder expand back to the
# same bytes with msexpand, an independent decoder, and carry a header that
# states their true length. Inputs come from a seeded generator so that a
# failure can be reproduced.
set -u
enc=${1:?usage: test_szdd.sh PATH_TO_SZDD_ENCODE}
command -v msexpand >/dev/null || { echo "FAIL msexpand not found (Debian package mscompress)"; echo "0 passed, 1 failed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
# check NAME WHY-IF-FAILED COMMAND...: one counted result.
check() {
    local name=$1 why=$2
    shift 2
    if "$@"; then echo "ok   $name"; passed=$((passed + 1)); else echo "FAIL $name: $why"; failed=$((failed + 1)); fi
}

# gen KIND SIZE [SEED]: deterministic test data on stdout.
gen() {
    perl -e '
        my ($kind, $size, $s) = @ARGV;
        $s ||= 12345;
        sub rnd { $s ^= ($s << 13) & 0xFFFFFFFF; $s ^= $s >> 17; $s ^= ($s << 5) & 0xFFFFFFFF; $s }
        sub noise { my $b = ""; $b .= pack("V", rnd()) while length($b) < $_[0]; substr($b, 0, $_[0]) }
        my @words = qw(the window ring match literal setup folder file install a of to and Pictavo
                       copy progress cancel 0x41 i++ return {} ( ) ; ==);
        # Indented lines put runs of spaces where the initial window (all
        # spaces) can supply them.
        sub text { my $t = ""; $t .= " " x (rnd() % 9) . join(" ", map { $words[rnd() % @words] } 0 .. rnd() % 12) . "\n"
                       while length($t) < $_[0]; substr($t, 0, $_[0]) }
        my $out = $kind eq "text" ? text($size) : $kind eq "random" ? noise($size) : $kind eq "spaces" ? " " x $size
                : $kind eq "run" ? "x" x $size : $kind eq "zeros" ? "\0" x $size : "";
        while ($kind eq "bytes" && length($out) < $size) {
            # Every byte value, in orders that repeat at various distances.
            my $step = 1 + 2 * (rnd() % 64);
            $out .= join("", map { chr(($_ * $step) & 255) } 0 .. 255) . join("", map { chr($_) x (1 + rnd() % 20) } 0 .. 255)
                  . noise(rnd() % 3000);
        }
        while ($kind eq "mixed" && length($out) < $size) {
            my $pick = rnd() % 3;
            $out .= $pick == 0 ? text(rnd() % 200000) : $pick == 1 ? noise(rnd() % 100000) : chr(rnd() % 256) x (rnd() % 30000);
        }
        print substr($out, 0, $size);
    ' "$@"
}

le32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
size() { stat -c %s "$1"; }

# roundtrip FILE: packs FILE into FILE.sz and expands it again; on failure
# sets why.
roundtrip() {
    local in=$1
    why=
    if ! "$enc" "$in" "$in.sz" 2>"$work/err"; then why="encoder failed: $(head -c 300 "$work/err")"
    elif [ "$(od -An -tx1 -N9 "$in.sz" | tr -d ' \n')" != 535a444488f0273341 ]; then why="no SZDD magic and mode A"
    elif [ "$(le32 "$in.sz" 10)" != "$(size "$in")" ]; then why="length field $(le32 "$in.sz" 10), input $(size "$in") bytes"
    elif ! msexpand <"$in.sz" >"$in.out" 2>"$work/err"; then why="msexpand failed: $(head -c 300 "$work/err")"
    elif ! cmp -s "$in" "$in.out"; then why="expanded bytes differ: $(cmp "$in" "$in.out" 2>&1 | head -1)"
    fi
    [ -z "$why" ]
}

# Sizes around nothing, a single control byte's worth of items, the 16 bytes
# between the first write position and the end of the ring, and one window
# plus the longest match. Each content steers the encoder differently: spaces
# match the initial window outright, text mixes window and new matches, a
# run overlaps its own output, random data is mostly literals, and zeros are
# what lies past the end of a buffer, so a match running over the end of the
# input would find them.
for size in 0 1 2 3 4 7 8 9 15 16 17 18 19 4095 4096 4097 4113; do
    bad=
    for kind in spaces zeros text run random bytes; do
        gen "$kind" "$size" "$size" >"$work/$kind-$size"
        roundtrip "$work/$kind-$size" || bad="$bad $kind ($why);"
    done
    check "size $size round trips (spaces, zeros, text, run, random, all byte values)" "$bad" [ -z "$bad" ]
done

# The decoder's window starts as spaces, so 18 of them are one match of the
# window's own contents; if the two sides disagreed about that window, this
# is where it would show, and literals would hide it.
check "18 leading spaces pack to one match on the initial window" "packed to $(size "$work/spaces-18.sz") bytes, not 14 + 3" \
    [ "$(size "$work/spaces-18.sz")" = 17 ]
check "empty input packs to the 14-byte header alone" "packed to $(size "$work/spaces-0.sz") bytes" \
    [ "$(size "$work/spaces-0.sz")" = 14 ]

gen mixed 3000017 7 >"$work/mixed"
roundtrip "$work/mixed"
check "3 MB of text, random bytes and long runs round trips" "$why" [ -z "$why" ]
gen bytes 300000 11 >"$work/bytes"
roundtrip "$work/bytes"
check "300 KB using every byte value at many distances round trips" "$why" [ -z "$why" ]
# Only long matches that overlap what they write; an encoder that falls back
# to literals would still round trip, so the packed sizes are checked too.
gen run 102400 >"$work/run"
roundtrip "$work/run" && [ "$(size "$work/run.sz")" -gt 12800 ] && why="packed to $(size "$work/run.sz") bytes, not about 12 KB"
check "100 KB of one byte round trips and packs to about 12 KB" "$why" [ -z "$why" ]
gen text 1000000 5 >"$work/text"
roundtrip "$work/text" && [ "$(size "$work/text.sz")" -gt 450000 ] && why="packed to $(size "$work/text.sz") bytes, more than 45%"
check "1 MB of text round trips and packs to at most 45%" "$why" [ -z "$why" ]

# The installer's payload must not change between identical builds.
"$enc" "$work/mixed" "$work/mixed.again"
check "packing the same input twice gives identical bytes" "the second packing differs" cmp -s "$work/mixed.sz" "$work/mixed.again"
# 3000017 = 0x002DC6D1; the name character is stored as given, 0 when absent.
"$enc" "$work/mixed" "$work/named.sz" e 2>/dev/null
header=$(od -An -tx1 -N14 "$work/named.sz" 2>/dev/null | tr -d ' \n')$(od -An -tx1 -j9 -N1 "$work/mixed.sz" | tr -d ' \n')
check "header: magic, mode A, name character, little-endian length" "got $header" [ "$header" = 535a444488f027334165d1c62d0000 ]

# refused NAME ARGS...: the encoder must exit non-zero and say why.
refused() { ! "$enc" "$@" >/dev/null 2>"$work/err" && [ -s "$work/err" ]; }
check "missing input is refused" "exit 0 or no message" refused "$work/no-such-file" "$work/x.sz"
check "output in a missing folder is refused" "exit 0 or no message" refused "$work/text" "$work/no-such-dir/x.sz"
check "directory as input is refused" "exit 0 or no message" refused "$work" "$work/x.sz"
check "name character of two letters is refused" "exit 0 or no message" refused "$work/text" "$work/x.sz" ex
check "missing output argument is refused" "exit 0 or no message" refused "$work/text"
# The length field has 32 bits; a sparse file costs no disk space.
huge() { truncate -s 4294967296 "$work/huge" && refused "$work/huge" "$work/huge.sz"; }
check "4 GiB input is refused" "no sparse file to try, or exit 0 or no message" huge

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
