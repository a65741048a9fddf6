#!/usr/bin/python3
"""Every test that a document cites must exist.

check_doc_tests.py SOURCE_ROOT CTEST BUILD_DIR

A document cites a test in backticks: `Suite.Name`, `Suite.*` (any test of
the suite), `Suite.…` (the same, shortened), `Suite.Name/variant`, or a
CTest name in snake case (`fuzz_smoke_command_line`: four words or more,
or any after the words "host test"). Each must be a test that CTest has
registered in this build, or a TEST in the sources (a test that this host
does not register, such as the Windows 98 suites on a host that runs
64-bit code only, still exists). A placeholder is written in capitals
(`SUITE.TEST`)."""
import pathlib
import re
import subprocess
import sys

root, ctest, build = pathlib.Path(sys.argv[1]), sys.argv[2], sys.argv[3]

registered = set()
listing = subprocess.run([ctest, "--test-dir", build, "-N"], capture_output=True, text=True, check=True).stdout
for line in listing.splitlines():
    found = re.match(r"\s*Test\s+#\d+:\s+(\S+)", line)
    if found:
        registered.add(found.group(1))
in_sources = set()
for source in (root / "tests").rglob("*.cpp"):
    text = source.read_text(errors="replace")
    for suite, name in re.findall(r"\bTEST(?:_F|_P)?\s*\(\s*(\w+)\s*,\s*(\w+)\s*\)", text):
        in_sources.add(f"{suite}.{name}")
# Tests that CMake registers by a literal name only on some hosts.
for script in list(root.rglob("CMakeLists.txt")) + list((root / "cmake").glob("*.cmake")):
    if "build" in script.relative_to(root).parts[:1]:
        continue
    in_sources.update(re.findall(r"add_test\(\s*NAME\s+([A-Za-z0-9_.]+)\s", script.read_text(errors="replace")))
known = registered | in_sources
suites = {name.split(".", 1)[0] for name in known if "." in name}

camel = re.compile(r"`([A-Z][A-Za-z0-9_]*)\.([A-Z][A-Za-z0-9_]*(?:/[A-Za-z0-9_]+)?|\*|…)`")
snake = re.compile(r"`([a-z][a-z0-9]*(?:_[a-z0-9]+){3,})`")
after_host_test = re.compile(r"host tests? `([a-z][a-z0-9_]*)`")

documents = [root / "README.md"] + sorted((root / "docs").glob("*.md"))
missing = []
cited = 0
for document in documents:
    text = document.read_text()
    for number, line in enumerate(text.splitlines(), 1):
        names = []
        for suite, rest in camel.findall(line):
            if suite.isupper():
                continue  # a name in capitals (COMMAND.COM, SUITE.TEST) is no test's
            names.append((suite, rest))
        for name in snake.findall(line) + after_host_test.findall(line):
            names.append((name, None))
        for first, rest in names:
            cited += 1
            if rest is None:
                ok = first in known
                shown = first
            elif rest in ("*", "…"):
                ok = first in suites
                shown = f"{first}.{rest}"
            else:
                shown = f"{first}.{rest}"
                ok = shown in known
            if not ok:
                missing.append(f"{document.relative_to(root)}:{number}: {shown}")

for entry in missing:
    print(f"no such test: {entry}")
print(f"{cited} citations in {len(documents)} documents, {len(missing)} of no test")
sys.exit(1 if missing else 0)
