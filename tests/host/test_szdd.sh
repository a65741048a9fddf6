#!/bin/bash
# test_szdd.sh SZDD_ENCODE: files packed by the encoder expand back to the
# same bytes with msexpand, an independent decoder, and carry a header that
# states their true length. Inputs come from a seeded generator so that a
# failure can be reproduced.
set -u
enc=${1:?usage: test_szdd.sh PATH_TO_SZDD_ENCODE}
if ! command -v msexpand >/dev/null; then
    echo "FAIL msexpand not found (Debian package mscompress), nothing to check against"
    echo "0 passed, 1 failed"
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0 failed=0
ok() { echo "ok   $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1: $2"; failed=$((failed + 1)); }

# gen KIND SIZE [SEED]: deterministic test data on stdout.
gen() {
    perl -e '
        my ($kind, $size, $seed) = @ARGV;
        my $s = $seed || 12345;
        sub rnd { $s ^= ($s << 13) & 0xFFFFFFFF; $s ^= $s >> 17; $s ^= ($s << 5) & 0xFFFFFFFF; $s }
        sub random_bytes { my $n = shift; my $b = ""; $b .= pack("V", rnd()) while length($b) < $n; substr($b, 0, $n) }
        my @words = qw(the window ring match literal setup folder file install a of to and Pictavo
                       copy progress cancel 0x41 i++ return {} ( ) ; ==);
        sub text {
            my $n = shift; my $t = "";
            while (length($t) < $n) {
                # Indented lines put runs of spaces where the initial window
                # (all spaces) can supply them.
                $t .= " " x (rnd() % 9);
                $t .= join(" ", map { $words[rnd() % @words] } 1 .. (1 + rnd() % 12)) . "\n";
            }
            substr($t, 0, $n)
        }
        my $out = "";
        if ($kind eq "text") { $out = text($size) }
        elsif ($kind eq "random") { $out = random_bytes($size) }
        elsif ($kind eq "spaces") { $out = " " x $size }
        elsif ($kind eq "run") { $out = "x" x $size }
        elsif ($kind eq "zeros") { $out = "\0" x $size }
        elsif ($kind eq "bytes") {
            # Every byte value, in orders that repeat at various distances.
            while (length($out) < $size) {
                my $step = 1 + 2 * (rnd() % 64);
                $out .= join("", map { chr(($_ * $step) & 255) } 0 .. 255);
                $out .= chr($_) x (1 + rnd() % 20) for 0 .. 255;
                $out .= random_bytes(rnd() % 3000);
            }
        } elsif ($kind eq "mixed") {
            while (length($out) < $size) {
                my $pick = rnd() % 3;
                if ($pick == 0) { $out .= text(rnd() % 200000) }
                elsif ($pick == 1) { $out .= random_bytes(rnd() % 100000) }
                else { $out .= chr(rnd() % 256) x (rnd() % 30000) }
            }
        }
        print substr($out, 0, $size);
    ' "$@"
}

# le32 FILE OFFSET: the little-endian 32-bit number stored there.
le32() {
    od -An -tu1 -j "$2" -N4 "$1" | awk '{ print $1 + 256 * ($2 + 256 * ($3 + 256 * $4)) }'
}

# roundtrip FILE: packs FILE and expands it again; on failure sets why.
roundtrip() {
    local in=$1 packed=$1.sz out=$1.out size
    why=
    if ! "$enc" "$in" "$packed" 2>"$work/err"; then
        why="encoder failed: $(head -c 300 "$work/err")"
        return 1
    fi
    if [ "$(od -An -tx1 -N9 "$packed" | tr -d ' \n')" != 535a444488f0273341 ]; then
        why="header does not start with the SZDD magic and mode A"
        return 1
    fi
    size=$(stat -c %s "$in")
    if [ "$(le32 "$packed" 10)" != "$size" ]; then
        why="length field says $(le32 "$packed" 10), input has $size bytes"
        return 1
    fi
    if ! msexpand <"$packed" >"$out" 2>"$work/err"; then
        why="msexpand failed: $(head -c 300 "$work/err")"
        return 1
    fi
    if ! cmp -s "$in" "$out"; then
        why="expanded bytes differ: $(cmp "$in" "$out" 2>&1 | head -1)"
        return 1
    fi
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
    if [ -z "$bad" ]; then
        ok "size $size round trips (spaces, zeros, text, run, random, all byte values)"
    else
        fail "size $size" "$bad"
    fi
done

# The decoder's window starts as spaces, so 18 of them are one match of the
# window's own contents; if the two sides disagreed about that window, this
# is where it would show, and literals would hide it.
if [ "$(stat -c %s "$work/spaces-18.sz")" = 17 ]; then
    ok "18 leading spaces pack to one match on the initial window"
else
    fail "leading spaces" "18 spaces packed to $(stat -c %s "$work/spaces-18.sz") bytes, expected 14 + 3"
fi

gen mixed 3000017 7 >"$work/mixed"
if roundtrip "$work/mixed"; then
    ok "3 MB of text, random bytes and long runs round trips"
else
    fail "3 MB mixed" "$why"
fi

gen bytes 300000 11 >"$work/bytes"
if roundtrip "$work/bytes"; then
    ok "300 KB using every byte value at many distances round trips"
else
    fail "every byte value" "$why"
fi

# Only long matches that overlap what they write; an encoder that falls back
# to literals would still round trip, so the size is checked too.
gen run 102400 >"$work/run"
if ! roundtrip "$work/run"; then
    fail "100 KB of one byte" "$why"
elif [ "$(stat -c %s "$work/run.sz")" -gt 12800 ]; then
    fail "100 KB of one byte" "packed to $(stat -c %s "$work/run.sz") bytes, expected about 12 KB"
else
    ok "100 KB of one byte round trips and packs to $(stat -c %s "$work/run.sz") bytes"
fi

gen text 1000000 5 >"$work/text"
if ! roundtrip "$work/text"; then
    fail "1 MB text" "$why"
elif [ "$(stat -c %s "$work/text.sz")" -gt 450000 ]; then
    fail "1 MB text" "packed to $(stat -c %s "$work/text.sz") bytes, more than 45%"
else
    ok "1 MB of text round trips and packs to $(stat -c %s "$work/text.sz") bytes"
fi

# The installer's payload must not change between identical builds.
if "$enc" "$work/mixed" "$work/mixed.again" && cmp -s "$work/mixed.sz" "$work/mixed.again"; then
    ok "packing the same input twice gives identical bytes"
else
    fail "determinism" "second packing of the 3 MB input differs"
fi

# 3000017 = 0x002DC6D1; the name character is stored as given, 0 when absent.
expected_header='535a444488f027334165d1c62d00'
"$enc" "$work/mixed" "$work/named.sz" e 2>/dev/null
header=$(od -An -tx1 -N14 "$work/named.sz" 2>/dev/null | tr -d ' \n')
unnamed_char=$(od -An -tx1 -j9 -N1 "$work/mixed.sz" | tr -d ' \n')
if [ "$header" = "$expected_header" ] && [ "$unnamed_char" = 00 ]; then
    ok "header: magic, mode A, name character, little-endian length"
else
    fail "header" "got $header (name char without argument: $unnamed_char), expected $expected_header"
fi
if [ "$(stat -c %s "$work/spaces-0.sz")" = 14 ]; then
    ok "empty input packs to the 14-byte header alone"
else
    fail "empty input" "packed to $(stat -c %s "$work/spaces-0.sz") bytes"
fi

# expect_error NAME ARGS...: the encoder must exit non-zero and say why.
expect_error() {
    local name=$1
    shift
    if "$enc" "$@" >"$work/out" 2>"$work/err"; then
        fail "$name" "exited 0"
    elif [ ! -s "$work/err" ]; then
        fail "$name" "exited non-zero without a message on stderr"
    else
        ok "$name is refused: $(head -1 "$work/err")"
    fi
}
expect_error "missing input" "$work/no-such-file" "$work/x.sz"
expect_error "output in a missing folder" "$work/text" "$work/no-such-dir/x.sz"
expect_error "directory as input" "$work" "$work/x.sz"
expect_error "name character of two letters" "$work/text" "$work/x.sz" ex
expect_error "missing output argument" "$work/text"
# The length field has 32 bits; a sparse file costs no disk space.
if truncate -s 4294967296 "$work/huge" 2>/dev/null; then
    expect_error "4 GiB input" "$work/huge" "$work/huge.sz"
    rm -f "$work/huge"
else
    fail "4 GiB input" "could not create a sparse 4 GiB file to try"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
