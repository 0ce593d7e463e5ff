"""Start-up of the host program under Wine, end to end: a normal start registers both servers from
the program's folder, loads and stores the options and answers the controls' values; every start-up
failure (resource library missing, controls server missing, not registrable, hardware check refused,
rendering object not made) ends with its message, a failure code and no crash. Messages are written
to standard output by the host's /answer switch instead of being shown."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

try:
    import pefile
except ImportError:  # the distribution's interpreter carries the module
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

BIN = os.environ["TARN_BIN"]
RUN = os.environ["TARN_WINE_RUN"]
RENDERING_CLASS = r"HKCR\CLSID\{7627C150-A27F-11D3-A6D1-00A0C943F4D3}"
CANVAS_SERVER = r"HKCR\CLSID\{8F4C01C3-731B-11D2-97FB-4854E827E1F5}\InprocServer32"
STORAGE_SERVER = r"HKCR\CLSID\{8A22656D-3F49-4561-B6E6-F1E6967E1527}\InprocServer32"
OPTIONS_KEY = r"HKCU\Software\TarnTest\TarnHost\TarnControls"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def strings_of(path):
    """The string table of a resource library: blocks of 16 length-prefixed UTF-16 strings."""
    pe = pefile.PE(path)
    table = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != 6:
            continue
        for block in kind.directory.entries:
            lang = block.directory.entries[0]
            data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
            pos = 0
            for index in range(16):
                (length,) = struct.unpack_from("<H", data, pos)
                pos += 2
                if length:
                    table[(block.id - 1) * 16 + index] = data[pos:pos + 2 * length].decode("utf-16-le")
                pos += 2 * length
    return table


def wine(*args, env=None, cwd=None):
    result = subprocess.run(["bash", RUN] + list(args), capture_output=True, text=True, env=env, timeout=120,
                            cwd=cwd)
    return result.returncode, result.stdout


def reg(*args):
    return wine("reg", *args)


def run_host(folder, mode=None, switches=("/answer",)):
    env = dict(os.environ)
    env.pop("TARN_HOST_TEST_MODE", None)
    if mode:
        env["TARN_HOST_TEST_MODE"] = mode
    # Run from the program's folder: the current folder is searched for libraries too.
    code, out = wine(os.path.join(folder, "TarnHost.exe"), *switches, env=env, cwd=folder)
    lines = [line.strip() for line in out.splitlines() if line.strip()]
    return code, lines


def messages(lines):
    return [line[len("message: "):] for line in lines if line.startswith("message: ")]


def scratch_copy(leave_out=(), replace=None):
    """The program and every library of the build folder, in a folder of its own."""
    folder = tempfile.mkdtemp(prefix="tarnhost-")
    for name in os.listdir(BIN):
        if name.lower().endswith((".exe", ".dll")) and name not in leave_out:
            shutil.copy2(os.path.join(BIN, name), folder)
    for target, source in (replace or {}).items():
        shutil.copy2(os.path.join(BIN, source), os.path.join(folder, target))
    return folder


def windows_path(path):
    return "z:" + path.replace("/", "\\")


def main():
    texts = strings_of(os.path.join(BIN, "TarnRes.dll"))
    caption = texts[12209]
    controls_missing = f"{caption}: {texts[12156]}"

    # A normal start: no message, values answered, options stored, servers registered from here.
    reg("delete", r"HKCU\Software\TarnTest", "/f")
    reg("add", OPTIONS_KEY, "/v", "Probe", "/t", "REG_SZ", "/d", "hello", "/f")
    code, lines = run_host(BIN, switches=("/answer", "/values"))
    check(code == 0, f"normal start exits with {code}: {lines}")
    check("start-up: ok" in lines, f"normal start did not succeed: {lines}")
    check(not messages(lines), f"normal start showed messages: {messages(lines)}")
    check("value ParseMetafiles: 1" in lines, f"controls value default not answered: {lines}")
    check("value Probe: hello" in lines, f"loaded controls value not answered: {lines}")
    _, out = reg("query", OPTIONS_KEY)
    check("HostRan" in out and "0x1" in out, f"value set at run time not stored at exit: {out}")
    check("ParseMetafiles" in out and "Probe" in out, f"options not stored back: {out}")
    for key, server in ((CANVAS_SERVER, "TarnControls.dll"), (STORAGE_SERVER, "Mosk.dll")):
        _, out = reg("query", key, "/ve")
        check(windows_path(os.path.join(BIN, server)).lower() in out.lower(),
              f"{server} not registered from the build folder: {out}")

    cases = [
        ("resource library missing", dict(leave_out=("TarnRes.dll",)), None,
         "Tarn: The resource library TarnRes.dll could not be loaded"),
        ("controls server missing", dict(leave_out=("TarnControls.dll",)), None, controls_missing),
        ("controls server not registrable", dict(replace={"TarnControls.dll": "HostTestServer.dll"}),
         "register-fails", controls_missing),
        ("hardware check refused", dict(replace={"TarnControls.dll": "HostTestServer.dll"}),
         "hardware-refuses", f"{caption}: This processor cannot draw cards."),
        ("rendering object not made after the probe", dict(replace={"TarnControls.dll": "HostTestServer.dll"}),
         "second-creation-fails", controls_missing),
    ]
    try:
        for name, layout, mode, expected in cases:
            # Without a registered rendering class the program must find and register its server.
            reg("delete", RENDERING_CLASS, "/f")
            folder = scratch_copy(**layout)
            try:
                code, lines = run_host(folder, mode)
            finally:
                shutil.rmtree(folder, ignore_errors=True)
            shown = messages(lines)
            check(code == 1, f"{name}: exit code {code} (a crash or a start that went on): {lines}")
            check(len(shown) == 1 and shown[0].startswith(expected),
                  f"{name}: expected one message {expected!r}, got {shown}")
            check("start-up: failed" in lines, f"{name}: start-up did not report failure: {lines}")
    finally:
        # Put the build folder's servers back for everything else.
        reg("delete", RENDERING_CLASS, "/f")
        code, lines = run_host(BIN)
        check(code == 0 and "start-up: ok" in lines, f"restoring registration failed: {lines}")
        reg("delete", r"HKCU\Software\TarnTest", "/f")

    if failures:
        sys.exit(1)
    print("host start-up: all cases passed")


if __name__ == "__main__":
    main()
