#!/usr/bin/env python3
"""Independent check of the document properties in the compound file's standard property sets.

The summary information set holds title (2), subject (3), author (4), keywords (5), comments (6),
template (7), last author (8), revision number (9), editing time (10), created (12), last saved (13),
page count (14), application name (18) and security (19); the document summary information set
holds category (2), manager (14) and company (15). The fixture writes known values, python3-olefile
reads them back with get_metadata.
"""
import datetime
import os
import subprocess
import sys
import tempfile

import olefile

BIN = os.environ["TARN_BIN"]
WINE_RUN = os.environ["TARN_WINE_RUN"]
FIXTURE = os.path.join(BIN, "tarn_summary_fixture.exe")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def text(value):
    return value.decode("latin-1") if isinstance(value, bytes) else value


def main():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "card.krd")
        result = subprocess.run([WINE_RUN, FIXTURE, "Z:" + path.replace("/", "\\")], capture_output=True, text=True,
                                timeout=300)
        check(result.returncode == 0, "fixture failed: " + result.stdout + result.stderr)
        if not os.path.exists(path):
            print("no file written")
            return 1
        ole = olefile.OleFileIO(path)
        check(ole.exists("\x05SummaryInformation"), "summary information stream")
        check(ole.exists("\x05DocumentSummaryInformation"), "document summary information stream")
        meta = ole.get_metadata()
        expected = {
            "title": "Birthday card",
            "subject": "For Ann",
            "author": "Carol",
            "keywords": "cake, candles",
            "comments": "Folded in four",
            "template": "Quarter.krt",
            "creating_application": "Card Studio",
            "category": "Greetings",
            "manager": "Dave",
            "company": "Tarn Works",
        }
        for name, value in expected.items():
            check(text(getattr(meta, name)) == value, "%s is %r, not %r" % (name, getattr(meta, name), value))
        check(meta.num_pages == 2, "page count %r" % meta.num_pages)
        check(meta.security == 0, "security %r" % meta.security)
        check(text(meta.revision_number) in (None, ""), "a new set keeps the revision number: %r"
              % meta.revision_number)
        check(isinstance(meta.create_time, datetime.datetime), "creation time %r" % meta.create_time)
        check(isinstance(meta.last_saved_time, datetime.datetime), "last saved time %r" % meta.last_saved_time)
        # Editing time is a duration: two hours plus the fixture's short session.
        edit = meta.total_edit_time
        check(edit is not None and 7200 <= edit < 7200 + 600, "editing time in seconds %r" % edit)
        ole.close()
    if failures:
        print("%d failures" % len(failures))
        return 1
    print("summary property sets: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
