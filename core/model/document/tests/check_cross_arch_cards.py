#!/usr/bin/env python3
"""Cards are the same file on every processor: sample cards saved by the 32-bit build (fixtures/,
made with `tarn-cardtool make` there) open in this build with the same sites, pages and controls,
this build's own sample card holds the same streams byte for byte, and a fixture opened and saved again
by this build is the same file as this build's own card opened and saved again. (Opening a card may
change it on purpose, for example sites take the names of their styles, so a card saved again is
compared with one that went the same road.) The summary property sets differ only where a save must
change them: save and edit times, the revision number and the name of who saved last."""
import os
import shutil
import sys
import tempfile

try:
    import olefile
except ImportError:
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

# The card tool and the frame reader of the card format check.
from check_card_file import tool as cardtool, unframe, winpath as windows_path

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")
CONTENT_STREAMS = ["Contents", "DefControls", "Thumbnails"]
SUMMARY = "\x05SummaryInformation"
DOCUMENT_SUMMARY = "\x05DocumentSummaryInformation"
# Author and last author (the user's name), revision, edit time, creation and last save times.
CHANGED_BY_SAVING = {4, 8, 9, 10, 12, 13}
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def streams(path):
    with olefile.OleFileIO(path) as ole:
        found = {name: ole.openstream(name).read() for name in CONTENT_STREAMS if ole.exists(name)}
        properties = {}
        for name in (SUMMARY, DOCUMENT_SUMMARY):
            values = ole.getproperties(name) if ole.exists(name) else {}
            properties[name] = {key: value for key, value in values.items() if key not in CHANGED_BY_SAVING}
        return found, properties


def compare(label, expected_path, actual_path):
    expected, expected_properties = streams(expected_path)
    actual, actual_properties = streams(actual_path)
    check(set(expected) == set(CONTENT_STREAMS), f"{label}: the fixture lacks content streams: {sorted(expected)}")
    for name in CONTENT_STREAMS:
        stored, written = expected.get(name, b""), actual.get(name, b"")
        if stored[:4] == written[:4]:  # stored the same way: the same bytes
            check(stored == written, f"{label}: stream {name} differs")
        check(unframe(stored) == unframe(written), f"{label}: stream {name} holds other content")
    for name in (SUMMARY, DOCUMENT_SUMMARY):
        check(expected_properties[name] == actual_properties[name],
              f"{label}: {name!r} differs: {expected_properties[name]} against {actual_properties[name]}")


def main():
    with tempfile.TemporaryDirectory() as work:
        for compressed in ("1", "0"):
            fixture = os.path.join(FIXTURES, f"sample-card-i686-compressed{compressed}.tdc")
            label = os.path.basename(fixture)

            # This build's own sample card holds the same streams.
            own = os.path.join(work, f"own{compressed}.tdc")
            code, out = cardtool("make", windows_path(own), compressed)
            check(code == 0, f"{label}: this build could not make its sample card: {out}")
            if code == 0:
                compare(label + " against this build's card", fixture, own)

            # The fixture opens with the same document as this build's card.
            code, opened_fixture = cardtool("open", windows_path(fixture))
            check(code == 0, f"{label}: does not open: {opened_fixture}")
            code, opened_own = cardtool("open", windows_path(own))
            check(opened_fixture == opened_own,
                  f"{label}: opens differently:\n{opened_fixture}\nagainst this build's card:\n{opened_own}")
            check("pages" in opened_fixture and "site" in opened_fixture, f"{label}: nothing read: {opened_fixture}")

            # Opened and saved again by this build, it is the file this build's own card becomes.
            resaved = os.path.join(work, f"resaved{compressed}.tdc")
            own_resaved = os.path.join(work, f"own-resaved{compressed}.tdc")
            shutil.copyfile(fixture, resaved)
            shutil.copyfile(own, own_resaved)
            code, out = cardtool("resave", windows_path(resaved))
            check(code == 0, f"{label}: resave failed: {out}")
            code_own, out_own = cardtool("resave", windows_path(own_resaved))
            check(code_own == 0, f"{label}: this build's card could not be saved again: {out_own}")
            if code == 0 and code_own == 0:
                compare(label + " saved again", own_resaved, resaved)
            print(f"{label}: checked")
    print("cross-arch cards:", "failed" if failures else "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
