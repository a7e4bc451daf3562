#!/usr/bin/env python3
"""Times `folivo convert` on the largest book of the corpus beside txt2pdbdoc,
and a batch of the whole corpus with one and with two jobs.

usage: bench/cli/convert_bench.py BUILD_DIR [CORPUS_DIR] [--runs N]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run(argv, env):
    """Wall seconds and peak resident memory (bytes) of one run of argv."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    err = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(argv)} failed:\n{err}")
    return wall, usage.ru_maxrss * 1024


def measure(argv, env, runs):
    results = [run(argv, env) for _ in range(runs)]
    return statistics.median(w for w, _ in results), max(m for _, m in results)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir")
    parser.add_argument("corpus_dir", nargs="?", default=os.path.join(here, "..", "..", "..", "shared", "corpus"))
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    folivo = os.path.join(args.build_dir, "src", "cli", "folivo")
    if not os.access(folivo, os.X_OK):
        sys.exit(f"no folivo program in {args.build_dir}: build it first")
    books = sorted(os.path.join(args.corpus_dir, f) for f in os.listdir(args.corpus_dir)
                   if f.endswith((".txt", ".htm")))
    if not books:
        sys.exit(f"no books in {args.corpus_dir}")
    texts = [b for b in books if b.endswith(".txt")]
    largest = max(texts, key=os.path.getsize)
    size = os.path.getsize(largest)

    work = tempfile.mkdtemp(prefix="folivo-bench-")
    try:
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), TMP=os.path.join(work, "tmp"))
        os.makedirs(env["TMP"])
        pattern = "^(chapter|book) [ivxlc0-9]+"
        out = os.path.join(work, "out.pdb")
        common = [folivo, "convert", "--no-defaults", "--bookmarks", pattern, "--jobs", "1"]

        rows = []
        wall, rss = measure(common + ["--format", "palmdoc", "-o", out, largest], env, args.runs)
        ours = wall
        rows.append(("folivo convert, PalmDoc", wall, rss, os.path.getsize(out)))
        if shutil.which("txt2pdbdoc"):
            wall, rss = measure(["txt2pdbdoc", "-b", "Book", largest, out], env, args.runs)
            rows.append(("txt2pdbdoc -b", wall, rss, os.path.getsize(out)))
            peer = wall
        else:
            peer = None
        wall, rss = measure(common + ["--format", "ztxt", "-o", out, largest], env, args.runs)
        rows.append(("folivo convert, zTXT", wall, rss, os.path.getsize(out)))
        ztxt = wall

        print(f"Largest book: {os.path.basename(largest)}, {size:,} bytes; median of {args.runs} runs")
        print(f"{'command':28} {'wall ms':>9} {'peak MB':>9} {'output bytes':>13}")
        for name, wall, rss, outsize in rows:
            print(f"{name:28} {wall * 1000:9.1f} {rss / 2**20:9.1f} {outsize:13,}")
        if peer:
            print(f"txt2pdbdoc / folivo wall time: {peer / ours:.1f}x")
        print(f"zTXT / PalmDoc wall time: {ztxt / ours:.2f}x")
        limit = 4 * size + 20 * 2**20
        print(f"memory goal 4 x input + 20 MB = {limit / 2**20:.1f} MB")

        outdir = os.path.join(work, "batch")
        os.makedirs(outdir)
        total = sum(os.path.getsize(b) for b in books)
        print(f"\nBatch of the whole corpus: {len(books)} files, {total:,} bytes, PalmDoc")
        for jobs in (1, 2):
            argv = [folivo, "convert", "--no-defaults", "--bookmarks", pattern, "--format", "palmdoc",
                    "--jobs", str(jobs), "-o", outdir] + books
            wall, rss = measure(argv, env, max(1, args.runs // 2))
            print(f"--jobs {jobs}: {wall * 1000:8.0f} ms wall, {total / wall / 1e6:6.1f} MB/s, peak {rss / 2**20:.1f} MB")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
