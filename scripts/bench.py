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
OPENSSL = "openssl enc -aes-256-ctr -pbkdf2 -pass file:pw"


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


def make_folder(root, count, low=1024, high=8192):
    rng = random.Random(7)
    blob = os.urandom(high)
    for i in range(count):
        sub = os.path.join(root, f"d{i // 500:04d}")
        os.makedirs(sub, exist_ok=True)
        size = rng.randint(low, high)
        with open(os.path.join(sub, f"f{i:06d}.dat"), "wb") as f:
            f.write(blob[:size])


def rmtree(path):
    shutil.rmtree(path, ignore_errors=True)


def removing_file(d, name):
    """A cleanup that removes d/name: every tool writes a new file each run
    (none replaces one)."""
    path = os.path.join(d, name)
    return lambda: os.path.exists(path) and os.remove(path)


def emptying(folder):
    return lambda: (rmtree(folder), os.makedirs(folder))


def setting_aside(folder):
    """A cleanup that moves the last run's output folder aside (removed with
    the rest at the end) and makes an empty one. On an ext4 without a
    journal, as here, a new file skips every inode of its group freed in the
    last minute (six, while not yet written back), one by one: extracting
    20,000 files right after removing the last run's 20,000 took both this
    program and tar 2 to 9 s instead of under 1 s, and measured that scan."""
    count = [0]

    def run():
        if os.path.exists(folder):
            count[0] += 1
            os.rename(folder, f"{folder}.{count[0]}")
        os.makedirs(folder)
    return run


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--file-mib", type=int, default=1024)
    ap.add_argument("--files", type=int, default=20000)
    ap.add_argument("--tiny-files", type=int, default=200000,
                    help="files of 0-64 bytes for list against verify (fewer for quick runs)")
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
    # Each folder made in d gets a group of inodes of its own, chosen as for
    # a folder at the top of the file system (ext4; elsewhere this does
    # nothing): the groups where the last bench removed its files, whose
    # freed inodes a journal-less ext4 skips one by one for minutes (see
    # setting_aside), are then rarely the ones the next bench writes to.
    subprocess.run(["chattr", "+T", d], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)
    try:
        run(cli, d, args)
    finally:
        rmtree(d)


def setup(cli, d, args):
    with open(os.path.join(d, "pw"), "w") as f:
        f.write(PASSWORD + "\n")
    subprocess.run([cli, "keystore-new", "--keystore", os.path.join(d, "ks.key")],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["age-keygen", "-o", os.path.join(d, "age.key")], check=True,
                   stderr=subprocess.DEVNULL)
    make_file(os.path.join(d, "big.bin"), args.file_mib)
    make_folder(os.path.join(d, "tree"), args.files)
    make_folder(os.path.join(d, "tiny"), args.tiny_files, 0, 64)
    return subprocess.run(["age-keygen", "-y", os.path.join(d, "age.key")],
                          check=True, capture_output=True, text=True).stdout.strip()


def file_rows(cli, d, args, recipient):
    """One large file: copies, this program and its peers, each peer's
    output synced as this program's archive is (it may become the only
    copy), and reading the archive without writing (list, verify)."""
    ossl = OPENSSL
    removing = lambda name: removing_file(d, name)
    clean_out = emptying(os.path.join(d, "out"))
    rows = measure([
        ("cp", "cp big.bin big.copy", removing("big.copy")),
        ("dd bs=1M", "dd if=big.bin of=big.copy bs=1M status=none", removing("big.copy")),
        ("dd bs=1M conv=fsync", "dd if=big.bin of=big.copy bs=1M conv=fsync status=none",
         removing("big.copy")),
        ("tazu16x32 encrypt", f"{cli} encrypt big.bin -o big.shf "
         "--password-stdin --keystore ks.key < pw", removing("big.shf")),
        ("tazu16x32 decrypt", f"{cli} decrypt big.shf -d out --on-exists replace "
         "--password-stdin --keystore ks.key < pw", clean_out),
        ("tazu16x32 list", f"{cli} list big.shf --password-stdin --keystore ks.key < pw", None),
        ("tazu16x32 verify", f"{cli} verify big.shf --password-stdin --keystore ks.key < pw",
         None),
        ("openssl encrypt; sync", f"{ossl} -in big.bin -out big.ossl && sync big.ossl",
         removing("big.ossl")),
        ("openssl decrypt", f"{ossl} -d -in big.ossl -out big.dec", removing("big.dec")),
        ("age encrypt; sync", f"age -r {recipient} -o big.age big.bin && sync big.age",
         removing("big.age")),
        ("age decrypt", "age -d -i age.key -o big.dec big.age", removing("big.dec")),
        # decrypt - reads standard input through the same buffers as a file,
        # so an archive from a pipe decrypts about as fast as from the disk.
        ("tazu16x32 decrypt - (pipe)", f"cat big.shf | {cli} decrypt - -d out "
         "--on-exists replace --password-file pw --keystore ks.key", clean_out),
    ], d, args.runs)
    mb = args.file_mib * (1 << 20) / 1e6
    for r in rows:
        r["rate"] = f"{mb / max(r['secs'], 0.01):.0f} MB/s"
    return rows


def folder_rows(cli, d, args):
    ossl = OPENSSL
    opts = "--password-stdin --keystore ks.key < pw"
    removing = lambda name: removing_file(d, name)
    clean_out = setting_aside(os.path.join(d, "out"))
    rows = measure([
        ("tazu16x32 encrypt folder", f"{cli} encrypt tree -o tree.shf {opts}",
         removing("tree.shf")),
        ("tazu16x32 decrypt folder", f"{cli} decrypt tree.shf -d out --on-exists replace {opts}",
         clean_out),
        ("tar c | openssl enc", f"tar cf - tree | {ossl} -out tree.ossl", removing("tree.ossl")),
        # For reference: the same made as durable as this program's archive.
        ("tar c | openssl enc; sync", f"tar cf - tree | {ossl} -out tree.ossl; sync tree.ossl",
         removing("tree.ossl")),
        ("openssl enc -d | tar x", f"{ossl} -d -in tree.ossl | tar xf - -C out", clean_out),
    ], d, args.runs)
    for r in rows:
        r["rate"] = f"{args.files / max(r['secs'], 0.01):.0f} files/s"
    # The tiny files' archive is made once; list and verify only read it.
    subprocess.run(f"{cli} encrypt tiny -o tiny.shf {opts}", shell=True, cwd=d, check=True,
                   stdout=subprocess.DEVNULL)
    tiny = measure([
        ("tazu16x32 list tiny files", f"{cli} list tiny.shf {opts}", None),
        ("tazu16x32 verify tiny files", f"{cli} verify tiny.shf {opts}", None),
    ], d, args.runs)
    for r in tiny:
        r["rate"] = f"{args.tiny_files / max(r['secs'], 0.01):.0f} files/s"
    return rows + tiny


def goals(by):
    """(goal, ratio, limit) for every goal, each a ratio of two commands
    timed in the same run."""
    tz = lambda name: by["tazu16x32 " + name]
    return [
        ("encrypt <= 1.3 x dd conv=fsync", tz("encrypt") / by["dd bs=1M conv=fsync"], 1.3),
        ("encrypt <= 0.6 x age encrypt; sync", tz("encrypt") / by["age encrypt; sync"], 0.6),
        ("encrypt <= 0.6 x openssl encrypt; sync",
         tz("encrypt") / by["openssl encrypt; sync"], 0.6),
        ("decrypt <= 0.6 x age decrypt", tz("decrypt") / by["age decrypt"], 0.6),
        ("decrypt <= 0.6 x openssl decrypt", tz("decrypt") / by["openssl decrypt"], 0.6),
        ("decrypt <= 2.0 x dd bs=1M", tz("decrypt") / by["dd bs=1M"], 2.0),
        ("decrypt - (pipe) <= 1.2 x decrypt FILE", tz("decrypt - (pipe)") / tz("decrypt"), 1.2),
        ("list <= 0.8 x decrypt", tz("list") / tz("decrypt"), 0.8),
        ("verify <= 0.8 x decrypt", tz("verify") / tz("decrypt"), 0.8),
        ("verify tiny files <= 1.5 x list", tz("verify tiny files") / tz("list tiny files"), 1.5),
        ("folder encrypt <= 1.2 x tar|openssl",
         tz("encrypt folder") / by["tar c | openssl enc"], 1.2),
        ("folder decrypt <= 1.1 x openssl|tar",
         tz("decrypt folder") / by["openssl enc -d | tar x"], 1.1),
    ]


def run(cli, d, args):
    recipient = setup(cli, d, args)
    rows = file_rows(cli, d, args, recipient) + folder_rows(cli, d, args)
    print(f"\n{'command':30} {'median s':>9} {'rate':>15} {'peak MiB':>9}  runs (s)")
    for r in rows:
        print(f"{r['name']:30} {r['secs']:9.2f} {r['rate']:>15} {r['peak_mib']:9.1f}  {r['runs']}")

    by = {r["name"]: max(r["secs"], 0.01) for r in rows}
    print(f"\n{'goal':40} {'ratio':>7}  met")
    print(f"{'(cp, for reference: x dd bs=1M)':40} {by['cp'] / by['dd bs=1M']:7.2f}")
    print(f"{'(durability: dd conv=fsync x dd)':40} "
          f"{by['dd bs=1M conv=fsync'] / by['dd bs=1M']:7.2f}")
    print(f"{'(folder encrypt x tar|openssl; sync)':40} "
          f"{by['tazu16x32 encrypt folder'] / by['tar c | openssl enc; sync']:7.2f}")
    ok = True
    for name, ratio, limit in goals(by):
        met = ratio <= limit
        ok &= met
        print(f"{name:40} {ratio:7.2f}  {'yes' if met else 'NO'}")
    mem = max(r["peak_mib"] for r in rows if r["name"].startswith("tazu16x32"))
    print(f"{'peak memory <= 16 MiB':40} {mem:6.1f}M  {'yes' if mem <= 16 else 'NO'}")
    ok &= mem <= 16
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
