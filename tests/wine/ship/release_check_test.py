#!/usr/bin/env python3
"""tools/release.sh run in a folder of its own, from nothing: first unsigned, then signed.

    release_check_test.py reproduce <this build's release folder> <source> <version> --epoch=<seconds> <work>
    release_check_test.py sign <work> <version>

reproduce: releases the source as it is on disk from <work>/src, building in <work>/build with
this build's moment; SHA256SUMS must be those of this build's release folder packed the same way.
sign: releases that copy again with a certificate made for the test; every binary and package
verifies, and the setup program installs and logs under Wine.
"""
import os
import re
import shutil
import subprocess
import sys
import time

from tally import Tally

HERE = os.path.dirname(os.path.abspath(__file__))
SKIPPED = 77
tally = Tally("ship release check")
check = tally.check


def release(src, work, **signing):
    env = {k: v for k, v in os.environ.items() if not k.startswith("PENDRAKE_SIGN_")}
    env.update(signing, PENDRAKE_RELEASE_BUILD=os.path.join(work, "build"))
    start = time.monotonic()
    result = subprocess.run(["bash", os.path.join(src, "tools", "release.sh")], env=env, capture_output=True, text=True)
    print(f"release.sh in {src}: exit code {result.returncode}, {time.monotonic() - start:.0f} s", flush=True)
    check(result.returncode == 0, "release.sh exit code", 0, result.stdout[-2000:] + result.stderr[-2000:])
    return [line for line in result.stdout.splitlines() if line.startswith("release: ")]


def reproduce(own, source, version, epoch, work):
    if not epoch.isdigit():
        print("SKIP this build has no commit time to build with: it is no git checkout")
        return SKIPPED
    shutil.rmtree(work, ignore_errors=True)
    listed = subprocess.run(["git", "-C", source, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            capture_output=True, text=True, check=True).stdout.split("\0")
    src = os.path.join(work, "src")
    for name in filter(None, listed):
        if os.path.isfile(os.path.join(source, name)):
            os.makedirs(os.path.dirname(os.path.join(src, name)), exist_ok=True)
            shutil.copy2(os.path.join(source, name), os.path.join(src, name))
    os.environ["SOURCE_DATE_EPOCH"] = epoch
    lines = release(src, work)
    check(len(lines) == 1 and lines[0].startswith("release: not signed"), "one line says the release is unsigned",
          "release: not signed ...", lines)
    packed = os.path.join(work, "own", "release")
    shutil.copytree(own, packed)
    subprocess.run([sys.executable, os.path.join(src, "tools", "pack_release.py"), packed,
                    os.path.join(work, "own", f"Pendrake-{version}.zip"), f"Pendrake-{version}"], check=True)
    theirs, ours = (open(os.path.join(f, "SHA256SUMS")).read().splitlines() for f in (os.path.join(src, "release"), packed))
    check(theirs == ours, "SHA256SUMS of a second release from nothing",
          [line for line in ours if line not in theirs], [line for line in theirs if line not in ours])
    return tally.report()


def sign(work, version):
    os.chdir(work)
    with open("password", "w") as f:
        f.write("throwaway\n")
    msi = f"Pendrake-{version}-x64.msi"
    for command in [f"openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Pendrake-test -keyout key.pem "
                    f"-out cert.pem -addext extendedKeyUsage=codeSigning",
                    "openssl pkcs12 -export -in cert.pem -inkey key.pem -out key.p12 -passout file:password"]:
        subprocess.run(command.split(), check=True, capture_output=True)
    cert, p12, password = (os.path.join(work, n) for n in ("cert.pem", "key.p12", "password"))
    lines = release(os.path.join(work, "src"), work, PENDRAKE_SIGN_PKCS12=p12, PENDRAKE_SIGN_PASS_FILE=password)
    check(lines == [f"release: signed with the certificate in {p12}"], "one line names the key", "signed with ...", lines)
    folder = os.path.join(work, "src", "release")
    for name in ["x64/Pendrake.dll", "x86/Pendrake.dll", "PendrakeClient.exe", f"Pendrake-{version}-setup.exe", msi]:
        out = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", os.path.join(folder, name)],
                             capture_output=True, text=True).stdout
        check(all(s in out for s in ["Signature verification: ok", "Text description: Pendrake",
                                     "URL description: https://www.orvelle.com/pendrake"])
              and re.search(r"Message digest algorithm\s*: SHA256", out),
              f"{name} signed", "verified, SHA-256, name and address", out[-600:])
    cycle = subprocess.run([sys.executable, os.path.join(HERE, "install_cycle_test.py"),
                            os.path.join(folder, f"Pendrake-{version}-setup.exe"), "--signed-by", cert])
    check(cycle.returncode == 0, "signed setup under Wine (install_cycle_test.py --signed-by)", 0, cycle.returncode)
    shutil.rmtree(os.path.join(work, "build"), ignore_errors=True)
    return tally.report()


def main():
    if len(sys.argv) == 7 and sys.argv[1] == "reproduce" and sys.argv[5].startswith("--epoch="):
        return reproduce(*sys.argv[2:5], sys.argv[5][len("--epoch="):], sys.argv[6])
    if len(sys.argv) == 4 and sys.argv[1] == "sign":
        return sign(sys.argv[2], sys.argv[3])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
