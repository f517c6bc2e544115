#!/usr/bin/env python3
"""Runs clang-tidy on source files, skipping those it has passed before with the same inputs.

A file's inputs are its preprocessed text with comments (so every header it includes, and every
NOLINT, counts), the clang-tidy version, the .clang-tidy file and the extra arguments. A clean
result is remembered under a hash of them in ~/.cache/kelvora/tidy (or $KELVORA_TIDY_CACHE);
a finding is never remembered. So a run again, from this clone or a fresh one, checks only what
changed, and checks it fully.

usage: tidy_cached.py BUILD_FOLDER [--checks=...] FILE...
"""
import concurrent.futures
import hashlib
import json
import os
import shlex
import subprocess
import sys
from pathlib import Path


def compile_arguments(entry):
    args = entry.get("arguments") or shlex.split(entry["command"])
    kept = []
    skip = False
    for arg in args:
        if skip:
            skip = False
            continue
        if arg in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
            continue
        if arg in ("-c", "-MD", "-MMD"):
            continue
        kept.append(arg)
    return kept


def preprocessed(entry):
    args = compile_arguments(entry) + ["-E", "-C", "-P", "-o", "-"]
    result = subprocess.run(args, cwd=entry["directory"], capture_output=True)
    return result.stdout if result.returncode == 0 else None


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    build = Path(sys.argv[1])
    extra = [a for a in sys.argv[2:] if a.startswith("--")]
    files = [Path(a).resolve() for a in sys.argv[2:] if not a.startswith("--")]
    entries = {str(Path(e["directory"], e["file"]).resolve()): e
               for e in json.loads((build / "compile_commands.json").read_text())}
    cache = Path(os.environ.get("KELVORA_TIDY_CACHE")
                 or Path(os.environ.get("XDG_CACHE_HOME", Path.home() / ".cache"), "kelvora", "tidy"))
    cache.mkdir(parents=True, exist_ok=True)
    tidy = ["clang-tidy", "--quiet", "--extra-arg=-Wno-unknown-warning-option", "-p", str(build)]
    base = hashlib.sha256()
    base.update(subprocess.run(["clang-tidy", "--version"], capture_output=True).stdout)
    base.update(Path(".clang-tidy").read_bytes())
    base.update("\0".join(extra).encode())

    def key(path):
        entry = entries.get(str(path))
        text = preprocessed(entry) if entry else None
        if text is None:
            return None  # not in this build, or it does not preprocess: tidy says why
        h = base.copy()
        h.update(str(path.relative_to(Path.cwd())).encode())
        h.update(text)
        return h.hexdigest()

    def check(path):
        stamp = key(path)
        if stamp and (cache / stamp).exists():
            return path, True, ""
        result = subprocess.run(tidy + extra + [str(path)], capture_output=True, text=True)
        clean = result.returncode == 0
        if clean and stamp:
            (cache / stamp).touch()
        return path, clean, result.stdout + result.stderr

    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for path, clean, output in pool.map(check, files):
            if not clean:
                failed += 1
                print(output, end="")
                print(f"clang-tidy: findings in {path}")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
