#!/usr/bin/env python3
"""Fails when a text the code shows lacks a finished translation.

Extracts every translatable text from the sources with lupdate, then checks
each translations/tolvane_*.ts: every text must be present in the one context
"Tolvane", finished, and not marked vanished or obsolete. Texts in another
context are reported too (they would never be translated).

    check_translation_coverage.py LUPDATE SOURCE_ROOT
"""
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path


def messages(ts_path):
    """{(context, source): translation element}"""
    table = {}
    for context in ET.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            table[(name, message.findtext("source"))] = message.find("translation")
    return table


def main():
    lupdate, root = sys.argv[1], Path(sys.argv[2])
    sources = sorted(str(p) for p in (root / "src").iterdir() if p.is_dir() and p.name != "telemetry")
    with tempfile.TemporaryDirectory() as tmp:
        extracted = Path(tmp) / "extracted.ts"
        subprocess.run([lupdate, "-silent", "-recursive", "-locations", "none", "-no-obsolete",
                        *sources, "-ts", str(extracted)], check=True)
        used = set(messages(extracted))
    problems = []
    for key in sorted(k for k in used if k[0] != "Tolvane"):
        problems.append(f"{key[1]!r} is in context {key[0]!r}; use Tolvane::tr")
    used = {source for context, source in used if context == "Tolvane"}
    files = sorted((root / "translations").glob("tolvane_*.ts"))
    if not files:
        problems.append("no translation files found")
    for path in files:
        table = {source: tr for (context, source), tr in messages(path).items() if context == "Tolvane"}
        for source in sorted(used):
            translation = table.get(source)
            if translation is None:
                problems.append(f"{path.name}: missing {source!r}")
            elif translation.get("type") in ("unfinished", "vanished", "obsolete"):
                problems.append(f"{path.name}: {translation.get('type')} {source!r}")
            elif not (translation.text or "").strip():
                problems.append(f"{path.name}: empty {source!r}")
    for line in problems:
        print(line)
    if problems:
        return 1
    print(f"{len(used)} texts used by the code, translated in {len(files)} files")
    return 0


if __name__ == "__main__":
    sys.exit(main())
