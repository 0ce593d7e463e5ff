"""The server starts only with its resource library: found by plain name or beside the server
itself; without it the library refuses to load."""
import os
import shutil
import subprocess
import tempfile

# The toolchain runtime DLLs of the build's arch, as the build copied them.
RUNTIME = os.environ["TARN_RUNTIME_DLLS"].split(",")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def probe(bin_dir, with_resources):
    with tempfile.TemporaryDirectory() as root:
        caller = os.path.join(root, "caller")
        server = os.path.join(root, "server")
        os.makedirs(caller)
        os.makedirs(server)
        shutil.copy(os.path.join(bin_dir, "TarnControlsLoadProbe.exe"), caller)
        for name in ["TarnControls.dll", "ClassLib.dll"] + RUNTIME:
            shutil.copy(os.path.join(bin_dir, name), server)
        if with_resources:
            shutil.copy(os.path.join(bin_dir, "TarnObjRes.dll"), server)
        result = subprocess.run(
            [os.environ["TARN_WINE_RUN"], os.path.join(caller, "TarnControlsLoadProbe.exe"),
             windows_path(os.path.join(server, "TarnControls.dll"))],
            cwd=caller, capture_output=True, text=True)
        return result.returncode, result.stdout.strip()


def main():
    bin_dir = os.environ["TARN_BIN"]
    code, text = probe(bin_dir, with_resources=True)
    assert code == 0, "resource library beside the server: %s %s" % (code, text)
    code, text = probe(bin_dir, with_resources=False)
    assert code == 3, "without the resource library the server must refuse to start: %s %s" % (code, text)
    print("start-up checked")


if __name__ == "__main__":
    main()
