"""Side-by-side timing of tazu16x32-cli and common encryption tools.

Called by scripts/bench, which installs the tools and builds the program.
Every command runs under /usr/bin/time for its wall time and peak memory;
each figure is the median of --runs runs, taken in rounds that run every
command once, after one warm-up round so the page cache is warm for
everyone.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile

PASSWORD = "bench password 1234"


# Set by --cores: a taskset prefix that pins every command to those cores.
PIN = []


def timed(cmd, cwd):
    """Runs cmd (a shell line); returns (seconds, peak KiB)."""
    out = subprocess.run(
        PIN + ["/usr/bin/time", "-f", "%e %M", "bash", "-c", cmd],
        cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if out.returncode != 0:
        sys.exit(f"failed ({out.returncode}): {cmd}\n{out.stderr}")
    secs, kib = out.stderr.strip().splitlines()[-1].split()
    return float(secs), int(kib)


def measure(specs, cwd, runs):
    """Times every (name, cmd, cleanup) of specs runs times, in rounds: each
    round runs every command once, in order, so that a slow spell of the
    machine (on a virtual machine it can last many seconds) falls on all of
    them alike rather than on one tool's runs. A command may use what the one
    before it in the round wrote. Round 0 is a warm-up, left out."""
    samples = {name: [] for name, _, _ in specs}
    for i in range(runs + 1):
        for name, cmd, cleanup in specs:
            if cleanup:
                cleanup()
            # The previous run's output is written back to the disk first, so
            # that no run shares the processors with the kernel's writeback of
            # another tool's file (it costs a two-thread program more than a
            # one-thread tool, and made runs differ by up to ten times here).
            subprocess.run(["sync"], check=False)
            t, m = timed(cmd, cwd)
            if i > 0:
                samples[name].append((t, m))
    rows = []
    for name, _, _ in specs:
        secs = statistics.median(s for s, _ in samples[name])
        peak = max(m for _, m in samples[name])
        rows.append({"name": name, "secs": secs, "peak_mib": peak / 1024,
                     "runs": " ".join(f"{s:.2f}" for s, _ in samples[name])})
    return rows


def make_file(path, mib):
    chunk = os.urandom(1 << 20)
    with open(path, "wb") as f:
        for i in range(mib):
            f.write(chunk[i % 7:] + chunk[:i % 7])


def make_folder(root, count):
    rng = random.Random(7)
    blob = os.urandom(8192)
    for i in range(count):
        sub = os.path.join(root, f"d{i // 500:03d}")
        os.makedirs(sub, exist_ok=True)
        size = rng.randint(1024, 8192)
        with open(os.path.join(sub, f"f{i:05d}.dat"), "wb") as f:
            f.write(blob[:size])


def rmtree(path):
    shutil.rmtree(path, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--file-mib", type=int, default=1024)
    ap.add_argument("--files", type=int, default=20000)
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--dir", default="build/bench-data")
    ap.add_argument("--cores", help="pin every tool to these cores (taskset list, e.g. 0 or 0,1)")
    args = ap.parse_args()
    if args.cores:
        PIN[:] = ["taskset", "-c", args.cores]
        print(f"every command pinned to cores {args.cores}")

    cli = os.path.abspath(args.cli)
    os.makedirs(args.dir, exist_ok=True)
    d = tempfile.mkdtemp(dir=args.dir)
    try:
        run(cli, d, args)
    finally:
        rmtree(d)


def run(cli, d, args):
    with open(os.path.join(d, "pw"), "w") as f:
        f.write(PASSWORD + "\n")
    subprocess.run([cli, "keystore-new", "--keystore", os.path.join(d, "ks.key")],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["age-keygen", "-o", os.path.join(d, "age.key")], check=True,
                   stderr=subprocess.DEVNULL)
    recipient = subprocess.run(["age-keygen", "-y", os.path.join(d, "age.key")],
                               check=True, capture_output=True, text=True).stdout.strip()
    make_file(os.path.join(d, "big.bin"), args.file_mib)
    make_folder(os.path.join(d, "tree"), args.files)
    mb = args.file_mib * (1 << 20) / 1e6
    tz = f"{cli} --password-stdin --keystore ks.key --force"
    pw = f"< pw"
    ossl = f"openssl enc -aes-256-ctr -pbkdf2 -pass file:pw"
    out_dir = os.path.join(d, "out")
    clean_out = lambda: (rmtree(out_dir), os.makedirs(out_dir))

    def removing(name):
        # Every tool writes a new file each run (none replaces one).
        return lambda: os.path.exists(os.path.join(d, name)) and os.remove(os.path.join(d, name))

    R = args.runs
    rows = measure([
        ("cp", "cp big.bin big.copy", removing("big.copy")),
        ("dd bs=1M", "dd if=big.bin of=big.copy bs=1M status=none", removing("big.copy")),
        ("tazu16x32 encrypt", f"{cli} encrypt big.bin -o big.shf "
         f"--password-stdin --keystore ks.key {pw}", removing("big.shf")),
        ("tazu16x32 decrypt", f"{cli} decrypt big.shf -d out --on-exists replace "
         f"--password-stdin --keystore ks.key {pw}", clean_out),
        ("openssl encrypt", f"{ossl} -in big.bin -out big.ossl", removing("big.ossl")),
        ("openssl decrypt", f"{ossl} -d -in big.ossl -out big.dec", removing("big.dec")),
        ("age encrypt", f"age -r {recipient} -o big.age big.bin", removing("big.age")),
        ("age decrypt", "age -d -i age.key -o big.dec big.age", removing("big.dec")),
    ], d, R)
    for r in rows:
        r["rate"] = f"{mb / max(r['secs'], 0.01):.0f} MB/s"

    n = args.files
    frows = measure([
        ("tazu16x32 encrypt folder", f"{cli} encrypt tree -o tree.shf "
         f"--password-stdin --keystore ks.key {pw}", removing("tree.shf")),
        ("tazu16x32 decrypt folder", f"{cli} decrypt tree.shf -d out --on-exists "
         f"replace --password-stdin --keystore ks.key {pw}", clean_out),
        ("tar c | openssl enc", f"tar cf - tree | {ossl} -out tree.ossl", removing("tree.ossl")),
        ("openssl enc -d | tar x", f"{ossl} -d -in tree.ossl | tar xf - -C out", clean_out),
    ], d, R)
    for r in frows:
        r["rate"] = f"{n / max(r['secs'], 0.01):.0f} files/s"

    # decrypt - reads standard input through the same buffers as a file, so
    # an archive from a pipe decrypts about as fast as from the disk.
    prows = measure([
        ("tazu16x32 decrypt FILE", f"{cli} decrypt big.shf -d out --on-exists replace "
         f"--password-file pw --keystore ks.key", clean_out),
        ("tazu16x32 decrypt - (pipe)", f"cat big.shf | {cli} decrypt - -d out "
         f"--on-exists replace --password-file pw --keystore ks.key", clean_out),
    ], d, R)
    for r in prows:
        r["rate"] = f"{mb / max(r['secs'], 0.01):.0f} MB/s"
    rows += prows

    print(f"\n{'command':28} {'median s':>9} {'rate':>15} {'peak MiB':>9}  runs (s)")
    for r in rows + frows:
        print(f"{r['name']:28} {r['secs']:9.2f} {r['rate']:>15} {r['peak_mib']:9.1f}  {r['runs']}")

    by = {r["name"]: max(r["secs"], 0.01) for r in rows + frows}
    peaks = {r["name"]: r["peak_mib"] for r in rows + frows}
    checks = [
        ("encrypt <= 0.77 x age encrypt", by["tazu16x32 encrypt"] / by["age encrypt"], 0.77),
        ("encrypt <= 0.77 x openssl encrypt",
         by["tazu16x32 encrypt"] / by["openssl encrypt"], 0.77),
        ("encrypt <= 2.5 x dd bs=1M", by["tazu16x32 encrypt"] / by["dd bs=1M"], 2.5),
        ("decrypt <= 0.77 x age decrypt", by["tazu16x32 decrypt"] / by["age decrypt"], 0.77),
        ("decrypt <= 0.77 x openssl decrypt",
         by["tazu16x32 decrypt"] / by["openssl decrypt"], 0.77),
        ("decrypt <= 2.5 x dd bs=1M", by["tazu16x32 decrypt"] / by["dd bs=1M"], 2.5),
        ("folder encrypt <= 1.5 x tar|openssl",
         by["tazu16x32 encrypt folder"] / by["tar c | openssl enc"], 1.5),
        ("folder decrypt <= 1.2 x openssl|tar",
         by["tazu16x32 decrypt folder"] / by["openssl enc -d | tar x"], 1.2),
    ]
    checks.append(("decrypt - (pipe) <= 1.2 x decrypt FILE",
                   by["tazu16x32 decrypt - (pipe)"] / by["tazu16x32 decrypt FILE"], 1.2))
    print(f"\n{'goal':38} {'ratio':>7}  met")
    print(f"{'(cp, for reference: x dd bs=1M)':38} {by['cp'] / by['dd bs=1M']:7.2f}")
    ok = True
    for name, ratio, limit in checks:
        met = ratio <= limit
        ok &= met
        print(f"{name:38} {ratio:7.2f}  {'yes' if met else 'NO'}")
    mem = max(v for k, v in peaks.items() if k.startswith("tazu16x32"))
    print(f"{'peak memory <= 16 MiB':38} {mem:6.1f}M  {'yes' if mem <= 16 else 'NO'}")
    ok &= mem <= 16
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
