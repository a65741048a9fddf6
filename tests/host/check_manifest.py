#!/usr/bin/python3
"""The package manifest that the build writes, checked as the package
manager's community repository would take it: each of its three files valid
against the schema of its kind, the three about one package and version,
and the installer it describes the very file that was built: its SHA-256,
and the version and publisher of its version resource.

Its PackageVersion is the text that Setup writes as the Uninstall entry's
DisplayVersion (PRODUCT_VERSION_TEXT of the build's product_facts.h): a
package manager finds the installation by that value, and one that differs
would read as another version and install again on every upgrade.

With URL_FILE, the installer's download address must read back as the
file's text exactly, whatever quotes and signs it holds.

check_manifest.py MANIFEST_DIR PACKAGE_ID INSTALLER SCHEMA_DIR PRODUCT_FACTS_H [URL_FILE]"""
import hashlib
import json
import re
import sys

import jsonschema
import yaml


def version_string(image, key):
    """A value of the StringFileInfo block, found by its UTF-16 key."""
    marker = (key + "\0").encode("utf-16-le")
    at = image.find(marker)
    if at < 0:
        return None
    at += len(marker)
    while image[at:at + 2] == b"\0\0":  # the padding to a 32-bit boundary
        at += 2
    end = at
    while image[end:end + 2] != b"\0\0":
        end += 2
    return image[at:end].decode("utf-16-le")


def display_version(header):
    """What Setup writes as DisplayVersion: the C string of PRODUCT_VERSION_TEXT."""
    with open(header, encoding="utf-8") as text:
        found = re.search(r'^#define PRODUCT_VERSION_TEXT "([^"\\]*)"$', text.read(), re.M)
    return found.group(1) if found else None


def main(folder, package, installer, schemas, facts, url_file=None):
    faults = []
    documents = {}
    for name in (package + ".yaml", package + ".installer.yaml", package + ".locale.en-US.yaml"):
        with open(folder + "/" + name, encoding="utf-8") as text:
            document = yaml.safe_load(text)
        kind = document.get("ManifestType")
        try:
            with open("%s/manifest.%s.1.10.0.json" % (schemas, kind), encoding="utf-8") as text:
                schema = json.load(text)
        except OSError:
            faults.append("%s: no schema for ManifestType %r" % (name, kind))
            continue
        for error in jsonschema.Draft7Validator(schema).iter_errors(document):
            faults.append("%s: %s at %s" % (name, error.message, "/".join(map(str, error.path))))
        documents[kind] = document

    if sorted(documents) != ["defaultLocale", "installer", "version"]:
        faults.append("the three kinds, one file each: got %s" % sorted(documents))
    else:
        for field in ("PackageIdentifier", "PackageVersion", "ManifestVersion"):
            values = {kind: document.get(field) for kind, document in documents.items()}
            if len(set(values.values())) != 1:
                faults.append("%s differs between the files: %s" % (field, values))
        if documents["version"].get("ManifestVersion") != "1.10.0":
            faults.append("ManifestVersion %r, not 1.10.0" % documents["version"].get("ManifestVersion"))
        if documents["version"].get("DefaultLocale") != documents["defaultLocale"].get("PackageLocale"):
            faults.append("the version file's DefaultLocale is not the locale file's PackageLocale")

        with open(installer, "rb") as built:
            image = built.read()
        digest = hashlib.sha256(image).hexdigest().upper()
        for entry in documents["installer"].get("Installers") or []:
            if str(entry.get("InstallerSha256", "")).upper() != digest:
                faults.append("InstallerSha256 %s, but %s has %s" % (entry.get("InstallerSha256"), installer, digest))
        if url_file:
            with open(url_file, encoding="utf-8", newline="") as text:
                url = text.read()
            for entry in documents["installer"].get("Installers") or []:
                if entry.get("InstallerUrl") != url:
                    faults.append("InstallerUrl %r, not %r" % (entry.get("InstallerUrl"), url))
        written = display_version(facts)
        if documents["version"].get("PackageVersion") != written:
            faults.append("PackageVersion %r, but Setup writes DisplayVersion %r (%s)"
                          % (documents["version"].get("PackageVersion"), written, facts))
        for kind, field, key in (("version", "PackageVersion", "ProductVersion"),
                                 ("defaultLocale", "Publisher", "CompanyName")):
            stated, resource = documents[kind].get(field), version_string(image, key)
            if stated != resource:
                faults.append("%s %r, but the installer's version resource says %r" % (field, stated, resource))

    for fault in faults:
        print("manifest: " + fault)
    if not faults:
        print("manifest: the three files are valid and describe %s (SHA-256 %s)" % (installer, digest))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:7]))
