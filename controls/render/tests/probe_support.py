"""Running the engine's probe programs under Wine for the Python model checks."""

import os
import subprocess
import sys
import tempfile

import numpy as np


def run_probe(exe_name, write_cases, expected_count):
    """Runs build/bin/<exe_name> on a case file; write_cases(folder) returns the case file's text.
    Each answer is four little-endian int32 (the last the byte count) and that many bytes."""
    with tempfile.TemporaryDirectory() as tmp:
        cases_path = os.path.join(tmp, 'cases.txt')
        out_path = os.path.join(tmp, 'out.bin')
        with open(cases_path, 'w') as f:
            f.write(write_cases(tmp))
        exe = os.path.join(os.environ['TARN_BIN'], exe_name)
        run = subprocess.run([os.environ['TARN_WINE_RUN'], exe, cases_path, out_path], capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit('%s failed (%d): %s %s' % (exe_name, run.returncode, run.stdout, run.stderr))
        data = open(out_path, 'rb').read()
    answers, pos = [], 0
    while pos < len(data):
        header = [int(v) for v in np.frombuffer(data[pos:pos + 16], dtype='<i4')]
        answers.append((header, np.frombuffer(data[pos + 16:pos + 16 + header[3]], dtype=np.uint8).copy()))
        pos += 16 + header[3]
    if len(answers) != expected_count:
        sys.exit('%s answered %d cases of %d' % (exe_name, len(answers), expected_count))
    return answers


def finish(failures, success_message):
    for f in failures:
        print('FAIL', f)
    if failures:
        sys.exit(1)
    print(success_message)
