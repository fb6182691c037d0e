#!/usr/bin/env python3
"""Consistency check of the interface translation tables.

Every tolvane_*.ts file must hold one context named "Tolvane", the same set
of source keys as every other file, only finished messages, the placeholders
of each key in its translation, and (for English) a translation equal to the
source.  Exits with status 1 and a list of problems otherwise.
"""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

HERE = Path(__file__).resolve().parent
EXPECTED = {
    "en": "en", "zh-Hans": "zh_CN", "ja": "ja", "ko": "ko",
    "de": "de", "fr": "fr", "es": "es", "pt": "pt",
}
PLACEHOLDER = re.compile(r"%\d")


def read(path):
    """Return (language attribute, {source: translation}, problems)."""
    problems = []
    root = ET.parse(path).getroot()
    if root.tag != "TS" or root.get("version") != "2.1":
        problems.append("root must be <TS version=\"2.1\">")
    contexts = root.findall("context")
    if [c.findtext("name") for c in contexts] != ["Tolvane"]:
        problems.append("exactly one context named Tolvane is required")
    table = {}
    for message in root.iter("message"):
        source = message.findtext("source")
        translation = message.find("translation")
        if source is None or translation is None:
            problems.append("message without source or translation")
            continue
        if translation.get("type") is not None:
            problems.append(f"{source!r}: type={translation.get('type')}")
        text = translation.text or ""
        if not text.strip():
            problems.append(f"{source!r}: empty translation")
        if sorted(PLACEHOLDER.findall(source)) != sorted(PLACEHOLDER.findall(text)):
            problems.append(f"{source!r}: placeholders differ in {text!r}")
        if source in table:
            problems.append(f"{source!r}: duplicate key")
        table[source] = text
    return root.get("language"), table, problems


def main():
    failures = []
    tables = {}
    for code, language in EXPECTED.items():
        path = HERE / f"tolvane_{code}.ts"
        if not path.exists():
            failures.append(f"{path.name}: missing")
            continue
        lang, table, problems = read(path)
        if lang != language:
            problems.append(f"language={lang!r}, expected {language!r}")
        if code == "en":
            problems += [f"{k!r}: English translation differs" for k, v in table.items() if k != v]
        failures += [f"{path.name}: {p}" for p in problems]
        tables[code] = table
    if "en" in tables:
        reference = set(tables["en"])
        for code, table in tables.items():
            for key in sorted(reference - set(table)):
                failures.append(f"tolvane_{code}.ts: lacks {key!r}")
            for key in sorted(set(table) - reference):
                failures.append(f"tolvane_{code}.ts: extra {key!r}")
    for line in failures:
        print(line)
    if failures:
        return 1
    print(f"{len(tables)} files, {len(tables.get('en', {}))} keys each: consistent")
    return 0


if __name__ == "__main__":
    sys.exit(main())
