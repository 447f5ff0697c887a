#!/usr/bin/env python3
"""The packages of tools/package, in a fresh Wine prefix: the portable zip, the setup program
(install, upgrade over a running copy, uninstall) and the tray menu's "Start with Windows".

Usage: package_test.py BUILD_ROOT WORK_DIR

BUILD_ROOT holds package/ (the packages) and i686/ (the probe and the build's version header).
The X display comes from DISPLAY; the Wine prefix is made afresh in WORK_DIR.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import time
import traceback
import zipfile

BUILD_ROOT = os.path.abspath(sys.argv[1])
WORK = os.path.abspath(sys.argv[2])
PREFIX = os.path.join(WORK, "wineprefix")
os.environ.update(WINEPREFIX=PREFIX, WINEARCH="win64", WINEDEBUG="-all",
                  WINEDLLOVERRIDES="mscoree,mshtml=")

# The end-to-end suite's helpers (Wine, probe, records), with this run's build and work folders.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
sys.argv = [sys.argv[0], os.path.join(BUILD_ROOT, "i686"), WORK]
from e2e import bar_state, copy, probe, read_records, wait_for, wine  # noqa: E402

PACKAGES = os.path.join(BUILD_ROOT, "package")
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Snipora"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
MENU_START_WITH_WINDOWS = 105
# The system's own DLLs: a statically linked program imports nothing else.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "shell32.dll",
               "ole32.dll", "advapi32.dll", "msvcrt.dll", "version.dll", "shlwapi.dll",
               "comdlg32.dll", "oleaut32.dll", "uxtheme.dll", "imm32.dll", "bcrypt.dll",
               "crypt32.dll"}


def version():
    header = open(os.path.join(BUILD_ROOT, "i686", "generated", "Version.h")).read()
    return re.search(r'SNIPORA_VERSION_STRING "([^"]+)"', header).group(1)


def reg_values(key):
    """The key's values as {name: data}, or None when the key is missing."""
    code, out = wine(["reg", "query", key])
    if code != 0:
        return None
    values = {}
    for line in out.splitlines():
        parts = re.split(r"\s{4}", line.strip())
        if len(parts) == 3 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2]
    return values


def unix_path(windows):
    code, out = wine(["winepath", "-u", windows])
    assert code == 0, windows
    return out.strip()


def run_app(exe):
    log = open(os.path.join(WORK, "wine-app.log"), "ab")
    return subprocess.Popen(["wine", exe], stdout=log, stderr=log, stdin=subprocess.DEVNULL,
                            cwd=os.path.dirname(exe))


def bar_up():
    """The bar is there and its start-up sequence has put the two categories in the tree."""
    return probe("wait-window", 20000)[0] == 0 and wait_for(
        lambda: (bar_state() or {}).get("entries", 0) >= 2, 20)


def close_bar():
    assert probe("close")[0] == 0
    assert wait_for(lambda: probe("window")[0] != 0, 20), "the bar did not close"


def history(data):
    """The history in a data file, decrypted first when this account encrypted it."""
    if open(data, "rb").read(8) == b"SNPSEAL1":
        plain = os.path.join(WORK, "unsealed.dat")
        windows = [wine(["winepath", "-w", p])[1].strip() for p in (data, plain)]
        assert probe("unseal", *windows)[0] == 0, data
        data = plain
    return [text for category, _, text in read_records(data) if category == 0]


def imported_dlls(exe):
    out = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe], capture_output=True,
                         text=True, check=True).stdout
    return {name.lower() for name in re.findall(r"DLL Name: (\S+)", out)}


def write_settings(folder):
    """An INI that says the first launch and the update offer are done, as a user's would."""
    os.makedirs(folder, exist_ok=True)
    today = int(time.time() // 86400) + 25569  # days since 30 December 1899
    with open(os.path.join(folder, "snipora.ini"), "w", newline="\r\n") as f:
        f.write(f"[Main]\nFirstLaunch=0\nLastUpdatesCheck={today}\n")


def test_packages():
    v = version()
    setup = os.path.join(PACKAGES, f"snipora-{v}-setup.exe")
    portable = os.path.join(PACKAGES, f"snipora-{v}-portable.zip")
    sums = open(os.path.join(PACKAGES, "SHA256SUMS")).read()
    check = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=PACKAGES, capture_output=True)
    assert check.returncode == 0 and f"snipora-{v}-setup.exe" in sums, sums

    # The portable zip: the program and an empty Data folder; unpacked, it keeps its data there.
    with zipfile.ZipFile(portable) as z:
        assert sorted(z.namelist()) == ["Snipora/", "Snipora/Data/", "Snipora/snipora.exe"]
        z.extractall(os.path.join(WORK, "portable"))
    folder = os.path.join(WORK, "portable", "Snipora")
    exe = os.path.join(folder, "snipora.exe")
    os.chmod(exe, 0o755)
    assert os.path.getsize(exe) <= 1024 * 1024, os.path.getsize(exe)
    assert imported_dlls(exe) <= SYSTEM_DLLS, imported_dlls(exe)
    write_settings(folder)
    app = run_app(exe)
    assert bar_up(), "the portable program did not start"
    copy("copied in the portable copy")
    close_bar()
    app.wait(timeout=20)
    assert "copied in the portable copy" in history(os.path.join(folder, "Data", "data.dat"))

    # A silent install: the program, the shortcut, the uninstall key and the Run value, and the
    # program started with them.
    appdata = unix_path(wine(["cmd", "/c", "echo", "%APPDATA%"])[1].strip())
    data_folder = os.path.join(appdata, "Tervix", "Snipora")
    write_settings(data_folder)
    assert wine([setup, "/S"], timeout=120)[0] == 0
    key = reg_values(UNINSTALL_KEY)
    assert key is not None, "no uninstall key"
    install = key["InstallLocation"]
    installed = unix_path(install + r"\snipora.exe")
    assert install.lower().endswith(r"\appdata\local\programs\snipora"), install
    # A 64-bit prefix gets the 64-bit program.
    assert "pei-x86-64" in subprocess.run(["x86_64-w64-mingw32-objdump", "-f", installed],
                                          capture_output=True, text=True).stdout
    assert key["DisplayName"] == "Snipora" and key["DisplayVersion"] == v, key
    assert key["Publisher"] == "Tervix" and key["DisplayIcon"].startswith(install), key
    assert key["UninstallString"] == f'"{install}\\uninstall.exe"', key
    assert key["QuietUninstallString"] == f'"{install}\\uninstall.exe" /S', key
    assert int(key["EstimatedSize"], 16) >= os.path.getsize(installed) // 1024, key
    assert reg_values(RUN_KEY).get("Snipora") == f'"{install}\\snipora.exe"'
    shortcuts = glob.glob(os.path.join(appdata, "Microsoft", "Windows", "Start Menu", "Programs",
                                       "Snipora.lnk"))
    assert shortcuts, "no Start menu shortcut"
    assert bar_up(), "the installed program did not start"
    copy("copied before the upgrade")

    # An upgrade over the running copy closes it the way Exit does: the history is saved.
    before = os.stat(installed).st_ctime_ns  # the setup keeps the file's own date
    time.sleep(0.05)
    assert wine([setup, "/S"], timeout=120)[0] == 0
    data = os.path.join(data_folder, "data.dat")
    # Encrypted in the per-user folder, the portable copy's stayed plain.
    assert open(data, "rb").read(8) == b"SNPSEAL1"
    assert b"c\0o\0p\0i\0e\0d\0" not in open(data, "rb").read()
    assert "copied before the upgrade" in history(data)
    assert os.stat(installed).st_ctime_ns > before, "the program was not replaced"
    assert bar_up(), "the upgraded program did not start again"

    # The tray menu's item: a Run value that starts another copy counts as off, and the item
    # points it at this one; the next time it removes the value.
    assert wine(["reg", "add", RUN_KEY, "/v", "Snipora", "/d", r'"C:\other\snipora.exe"',
                 "/f"])[0] == 0
    assert probe("command", MENU_START_WITH_WINDOWS)[0] == 0
    assert wait_for(lambda: reg_values(RUN_KEY).get("Snipora") == f'"{install}\\snipora.exe"')
    assert probe("command", MENU_START_WITH_WINDOWS)[0] == 0
    assert wait_for(lambda: "Snipora" not in reg_values(RUN_KEY)), "the Run value stayed"

    # A copy that cannot save stays open: the setup waits, then gives up and changes nothing.
    os.rename(data, data + ".kept")
    os.makedirs(data)  # a folder in the file's place: the save at close fails
    started = time.time()
    assert wine([setup, "/S"], timeout=120)[0] != 0, "the setup went on over a running copy"
    assert 10 <= time.time() - started < 60
    assert probe("window")[0] == 0, "the running copy was ended"
    assert probe("error-box", 20000)[0] == 0, "no error box of the failed save"
    os.rmdir(data)
    os.rename(data + ".kept", data)

    # The uninstaller ends the program, removes its files and keys, and keeps the data.
    assert wine([unix_path(install + r"\uninstall.exe"), "/S"], timeout=120)[0] == 0
    assert wait_for(lambda: not os.path.exists(installed), 30), "the program is still there"
    assert probe("window")[0] != 0, "the program still runs"
    assert reg_values(UNINSTALL_KEY) is None, "the uninstall key is still there"
    assert "Snipora" not in (reg_values(RUN_KEY) or {})
    assert not glob.glob(os.path.join(appdata, "Microsoft", "Windows", "Start Menu", "Programs",
                                      "Snipora.lnk"))
    assert "copied before the upgrade" in history(data)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    subprocess.run(["wineboot", "-i"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   stdin=subprocess.DEVNULL, timeout=300)
    failed = 0
    start = time.time()
    try:
        test_packages()
        print(f"PASS test_packages ({time.time() - start:.1f} s)", flush=True)
    except Exception:
        failed = 1
        print(f"FAIL test_packages ({time.time() - start:.1f} s)", flush=True)
        traceback.print_exc()
    finally:
        subprocess.run(["wineserver", "-k"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
    print(f"{1 - failed} passed, {failed} failed", flush=True)
    return failed


if __name__ == "__main__":
    sys.exit(main())
