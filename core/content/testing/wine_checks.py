"""Helpers that the content services' Python checks share: Windows paths for the Wine programs,
running a test program of the build, and collecting failures."""
import os
import subprocess

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_program(name, args, env=None, timeout=300):
    """Runs build/bin/<name> under Wine; answers (exit code, stdout with LF line ends, stderr)."""
    program = os.path.join(os.environ["TARN_BIN"], name)
    result = subprocess.run(["bash", os.environ["TARN_WINE_RUN"], program] + list(args),
                            capture_output=True, timeout=timeout, env=env)
    return (result.returncode, result.stdout.decode("latin-1").replace("\r\n", "\n"),
            result.stderr.decode("latin-1"))


def report():
    """Prints the failures; the script's exit code."""
    for f in failures[:40]:
        print("FAIL", f)
    print("%d failures" % len(failures))
    return 1 if failures else 0
