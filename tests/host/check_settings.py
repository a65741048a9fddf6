#!/usr/bin/python3
"""The settings that a publisher gives reach the build as data, never as
shell text or YAML syntax:
- every custom command and target of the build files is VERBATIM, so the
  build tool's shell gets each argument quoted whole;
- the manifest's script writes values with quotes, '&', '#', ': ' and the
  like so that a YAML parser reads each back exactly, and the result is
  valid against the schemas; a value with a control character stops it
  before it writes anything;
- configuring refuses a control character or a non-web download address,
  the placeholder address for a release, signing settings that do not fit
  together, and a version that is not three numbers of at most 65535,
  before any compiler is probed;
- the manifest's script keeps the version that it is given over the
  default of ProductFacts.cmake, and refuses one that is no version.

check_settings.py SOURCE WORK SCHEMA_DIR"""
import json
import os
import re
import shutil
import stat
import subprocess
import sys

import jsonschema
import yaml

faults = []
passed = 0


def check(name, ok, why=""):
    global passed
    if ok:
        print("ok   " + name)
        passed += 1
    else:
        print("FAIL %s: %s" % (name, why))
        faults.append(name)


def cmake_files(source):
    for folder, folders, files in os.walk(source):
        # Build folders (with their copies of generated CMake files) and
        # Git's own are not the build's sources.
        folders[:] = [f for f in folders if f != ".git" and
                      not os.path.exists(os.path.join(folder, f, "CMakeCache.txt"))]
        for name in files:
            if name == "CMakeLists.txt" or name.endswith(".cmake"):
                yield os.path.join(folder, name)


def calls(text, command):
    """The arguments of each call of command, comments left out."""
    text = re.sub(r"#[^\n]*", "", text)
    for match in re.finditer(r"\b%s\s*\(" % command, text):
        depth, at = 1, match.end()
        while depth and at < len(text):
            depth += {"(": 1, ")": -1}.get(text[at], 0)
            at += 1
        yield text[match.end():at - 1]


def check_verbatim(source):
    missing, seen = [], 0
    for path in cmake_files(source):
        with open(path, encoding="utf-8") as file:
            text = file.read()
        for command in ("add_custom_command", "add_custom_target"):
            for arguments in calls(text, command):
                if not re.search(r"\bCOMMAND\b", arguments):
                    continue
                seen += 1
                if not re.search(r"\bVERBATIM\b", arguments):
                    missing.append("%s: %s(%s...)" % (os.path.relpath(path, source), command,
                                                      " ".join(arguments.split())[:60]))
    check("every one of the %d custom commands and targets is VERBATIM" % seen, seen and not missing,
          "; ".join(missing) or "none found")


# Values that YAML would take for syntax if they were pasted in as they are.
HOSTILE = {
    "PICTAVO_PUBLISHER": "O'Brien & Sons: #1 \"best\" \\ ${x} @y@",
    "PICTAVO_LICENSE": "- 'Freeware'\nLicense: x",  # refused: a line break
    "PICTAVO_DESCRIPTION": "'' a: b # c & d ; e",
    "PICTAVO_UNINSTALL_KEY": "Pictavo' }",
}
URL = "https://example.com/get?a=1&id>/tmp/p&c='2' #no-comment: yes;z"


def write_facts(path, facts):
    with open(path, "w", encoding="utf-8") as file:
        for name, value in facts.items():
            file.write("set(%s [==[%s]==])\n" % (name, value))


def run_manifest_script(source, work, facts, url, *settings):
    """facts: a dict written as a facts file, or the path of one."""
    out = os.path.join(work, "packaging")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    facts_file = os.path.join(work, "facts.cmake")
    if isinstance(facts, str):
        facts_file = facts
    else:
        write_facts(facts_file, facts)
    with open(os.path.join(work, "url.txt"), "w", encoding="utf-8", newline="") as file:
        file.write(url)
    installer = os.path.join(work, "installer.bin")
    with open(installer, "wb") as file:
        file.write(b"not an installer, only bytes to hash")
    run = subprocess.run(["cmake", "-DINSTALLER=" + installer, "-DOUTPUT_DIR=" + out,
                          "-DEXIT_CODES=" + os.path.join(source, "base", "exit_codes.h"),
                          "-DFACTS=" + facts_file, "-DURL_FILE=" + os.path.join(work, "url.txt"),
                          "-DARCHITECTURE=x86"] + list(settings) + ["-P", os.path.join(source, "cmake", "PackageManifest.cmake")],
                         capture_output=True, text=True)
    return run, out


def check_manifest_quoting(source, work, schemas):
    facts = {"PICTAVO_VERSION": "1.10.0", "PICTAVO_PACKAGE_ID": "Pictavo.Pictavo"}
    facts.update(HOSTILE)
    facts["PICTAVO_LICENSE"] = "Free 'as in' beer: #1"
    run, out = run_manifest_script(source, work, facts, URL)
    check("the manifest's script takes quotes, '&', '#', ': ' and braces", run.returncode == 0, run.stderr[-300:])
    if run.returncode:
        return
    documents = {}
    try:
        for name in sorted(os.listdir(out)):
            with open(os.path.join(out, name), encoding="utf-8") as text:
                documents[name] = yaml.safe_load(text)
    except yaml.YAMLError as error:
        check("a YAML parser reads the manifest", False, str(error).replace("\n", " ")[:300])
        return
    installer = documents["Pictavo.Pictavo.installer.yaml"]
    locale = documents["Pictavo.Pictavo.locale.en-US.yaml"]
    read_back = {
        "InstallerUrl": (installer["Installers"][0]["InstallerUrl"], URL),
        "ProductCode": (installer["ProductCode"], facts["PICTAVO_UNINSTALL_KEY"]),
        "Publisher": (locale["Publisher"], facts["PICTAVO_PUBLISHER"]),
        "License": (locale["License"], facts["PICTAVO_LICENSE"]),
        "ShortDescription": (locale["ShortDescription"], facts["PICTAVO_DESCRIPTION"]),
        "PackageVersion": (installer["PackageVersion"], "1.10.0"),
    }
    wrong = ["%s %r, not %r" % (field, got, want) for field, (got, want) in read_back.items() if got != want]
    check("a YAML parser reads every value back exactly", not wrong, "; ".join(wrong))
    invalid = []
    for name, document in documents.items():
        with open("%s/manifest.%s.1.10.0.json" % (schemas, document.get("ManifestType")), encoding="utf-8") as text:
            schema = json.load(text)
        invalid += ["%s: %s" % (name, e.message) for e in jsonschema.Draft7Validator(schema).iter_errors(document)]
    check("the manifest with those values is valid against the schemas", not invalid, "; ".join(invalid))

    for name, value, url in (("a line break in a fact", HOSTILE["PICTAVO_LICENSE"], URL),
                             ("a tab in the download address", "Freeware", "https://example.com/a\tb"),
                             ("a line break in the download address", "Freeware",
                              "https://example.com/a\nInstallerSha256: 00")):
        facts["PICTAVO_LICENSE"] = value
        run, out = run_manifest_script(source, work, facts, url)
        check("the manifest's script refuses %s and writes nothing" % name,
              run.returncode != 0 and "control character" in run.stderr and not os.listdir(out),
              "exit %d, %s, wrote %s" % (run.returncode, run.stderr.strip()[-200:], os.listdir(out)))


def check_manifest_version(source, work):
    facts = os.path.join(source, "cmake", "ProductFacts.cmake")
    for given, want in ((None, "1.0.0"), ("1.1.0", "1.1.0"), ("65535.0.65535", "65535.0.65535")):
        run, out = run_manifest_script(source, work, facts, "https://example.com/a",
                                       *(["-DPICTAVO_VERSION=" + given] if given else []))
        written = ""
        if run.returncode == 0:
            with open(os.path.join(out, "Pictavo.Pictavo.installer.yaml"), encoding="utf-8") as text:
                written = yaml.safe_load(text)["PackageVersion"]
        check("the manifest's script states the version %s" % ("it is given, " + given if given else "of the facts"),
              written == want, "exit %d, PackageVersion %r: %s" % (run.returncode, written, run.stderr[-300:]))
    for given in ("1.1", "1.01.0", "65536.0.0", "1.1.0;x", ""):
        run, out = run_manifest_script(source, work, facts, "https://example.com/a", "-DPICTAVO_VERSION=" + given)
        check("the manifest's script refuses the version %r and writes nothing" % given,
              run.returncode != 0 and "PICTAVO_VERSION" in run.stderr and not os.listdir(out),
              "exit %d, %s, wrote %s" % (run.returncode, run.stderr.strip()[-200:], os.listdir(out)))


def configure(source, work, *settings):
    """Configures a new folder with these settings and a toolchain that does
    not exist: the settings are read first, then the toolchain stops it."""
    folder = os.path.join(work, "configure")
    shutil.rmtree(folder, ignore_errors=True)
    run = subprocess.run(["cmake", "-S", source, "-B", folder, "-DCMAKE_TOOLCHAIN_FILE=" + work + "/no-toolchain.cmake"]
                         + list(settings), capture_output=True, text=True)
    return run.stdout + run.stderr


def check_configure(source, work):
    key = os.path.join(work, "signing")
    os.makedirs(key, exist_ok=True)
    for name in ("key.p12", "cert.pem", "password"):
        open(os.path.join(key, name), "w").close()
    password = os.path.join(key, "password")
    real = "-DPICTAVO_DOWNLOAD_URL=https://downloads.example.com/pictavo-setup.exe"
    reached = "no-toolchain.cmake"
    cases = [
        ("a release with the placeholder address", ["-DPICTAVO_RELEASE=ON"], "still the placeholder"),
        ("a line break in the download address", ["-DPICTAVO_DOWNLOAD_URL=https://x/a\nb"], "control character"),
        ("a download address that is not on the web", ["-DPICTAVO_DOWNLOAD_URL=ftp://x/a"], "http or https"),
        ("a certificate without its key", ["-DPICTAVO_SIGNING_CERT=" + key + "/cert.pem"], "go together"),
        ("a PKCS#12 file without a password file", ["-DPICTAVO_SIGNING_PKCS12=" + key + "/key.p12"],
         "PICTAVO_SIGNING_PASSWORD_FILE"),
        ("a password file that others may read",
         ["-DPICTAVO_SIGNING_PKCS12=" + key + "/key.p12", "-DPICTAVO_SIGNING_PASSWORD_FILE=" + password],
         "chmod 600"),
        ("two kinds of key at once", ["-DPICTAVO_SIGNING_CERT=" + key + "/cert.pem",
                                      "-DPICTAVO_SIGNING_KEY=" + key + "/cert.pem", "-DPICTAVO_SIGN_COMMAND=sign"],
         "more than one kind"),
        ("a version of two numbers", ["-DPICTAVO_VERSION=1.1"], "is no version"),
        ("a version of four numbers", ["-DPICTAVO_VERSION=1.1.0.0"], "is no version"),
        ("a version with a leading zero", ["-DPICTAVO_VERSION=1.01.0"], "is no version"),
        ("a version with a sign", ["-DPICTAVO_VERSION=+1.1.0"], "is no version"),
        ("a version with a blank inside", ["-DPICTAVO_VERSION=1. 1.0"], "is no version"),
        ("a version with junk ahead", ["-DPICTAVO_VERSION=v1.1.0"], "is no version"),
        ("a version with a line after it", ["-DPICTAVO_VERSION=1.1.0\n2.0.0"], "is no version"),
        ("a version number above 65535", ["-DPICTAVO_VERSION=1.65536.0"], "more than 65535"),
        ("an empty version", ["-DPICTAVO_VERSION="], "is no version"),
        ("a time-stamping address for a sign command",
         ["-DPICTAVO_SIGN_COMMAND=sign", "-DPICTAVO_TIMESTAMP_URL=http://timestamp.example.com"],
         "stamps and unlocks"),
    ]
    os.chmod(password, 0o644)
    for name, settings, said in cases:
        output = configure(source, work, *settings)
        check("configuring refuses %s" % name, said in output and reached not in output, output.strip()[-300:])
    os.chmod(password, 0o600)
    for name, settings, said in (
            ("a release with a real address, unsigned", ["-DPICTAVO_RELEASE=ON", real], "Unsigned build"),
            ("the version 65535.65535.65535", ["-DPICTAVO_VERSION=65535.65535.65535"], "Unsigned build"),
            ("a PKCS#12 file with an owner-only password file",
             ["-DPICTAVO_SIGNING_PKCS12=" + key + "/key.p12", "-DPICTAVO_SIGNING_PASSWORD_FILE=" + password],
             "signed with a PKCS#12 file")):
        output = configure(source, work, *settings)
        check("configuring takes %s" % name, said in output and reached in output, output.strip()[-300:])


def main(source, work, schemas):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    check_verbatim(source)
    check_manifest_quoting(source, work, schemas)
    check_manifest_version(source, work)
    check_configure(source, work)
    print("%d passed, %d failed" % (passed, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
