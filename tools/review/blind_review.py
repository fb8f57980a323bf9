#!/usr/bin/env python3
"""Builds blind review sets of the slides and tabulates the reviewers' answers.

`make` writes, for each of N reviewers, the slides cut to the rows the screen shows (stills_rK/pic_NN.png,
shuffled per reviewer) and, for N other reviewers, each slot's old and new slide as a pair
(pairs_rK/pair_NN_A.png and _B.png, sides shuffled), with the key in keys.json beside them (move it out
of the folder before the reviewers start). `tabulate` reads their answers back (stills_rK.md, a table
| pic_NN | subject | score | notes |, and pairs_rK.md, | pair_NN | A or B | margin | why |) with that key
and prints the table of scores and preferences in slide order.
"""
import argparse
import json
import os
import random
import re
import subprocess
import sys

TOOL = "blind_review"
# the rows of a square slide the screen shows (see the slide quad's field of view in render_pictures.py)
SHOWN_CROP = "crop=1024:764:0:130"


def fail(message, status=2):
    print("%s: %s" % (TOOL, message), file=sys.stderr)
    sys.exit(status)


def slides(folder):
    names = sorted(n for n in os.listdir(folder) if re.fullmatch(r"Bilde\d\d\.jpg", n))
    if not names:
        fail("no BildeNN.jpg in %s" % folder)
    return names


def shown_png(source, target):
    """The shown rows of a slide as PNG, so JPEG blocks of the two sides are not compared."""
    result = subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", source, "-vf", SHOWN_CROP, target])
    if result.returncode != 0:
        fail("ffmpeg could not cut %s" % source)


def make(args):
    new = slides(args.new)
    missing = [n for n in new if not os.path.exists(os.path.join(args.old, n))]
    if missing:
        fail("%s has no %s" % (args.old, ", ".join(missing)))
    if os.path.exists(args.out) and os.listdir(args.out):
        fail("%s is not empty" % args.out)
    rng = random.Random(args.seed)
    keys = {}
    for k in range(1, args.reviewers + 1):
        stills_dir = os.path.join(args.out, "stills_r%d" % k)
        pairs_dir = os.path.join(args.out, "pairs_r%d" % k)
        os.makedirs(stills_dir)
        os.makedirs(pairs_dir)
        stills, pairs = {}, {}
        for i, name in enumerate(rng.sample(new, len(new)), 1):
            stills["pic_%02d" % i] = name
            shown_png(os.path.join(args.new, name), os.path.join(stills_dir, "pic_%02d.png" % i))
        for i, name in enumerate(rng.sample(new, len(new)), 1):
            side = rng.choice("AB")
            other = "B" if side == "A" else "A"
            pairs["pair_%02d" % i] = {"slot": name, "new": side}
            shown_png(os.path.join(args.new, name), os.path.join(pairs_dir, "pair_%02d_%s.png" % (i, side)))
            shown_png(os.path.join(args.old, name), os.path.join(pairs_dir, "pair_%02d_%s.png" % (i, other)))
        keys["r%d" % k] = {"stills": stills, "pairs": pairs}
        print("%s: reviewer %d of %d" % (TOOL, k, args.reviewers), file=sys.stderr)
    with open(os.path.join(args.out, "keys.json"), "w") as f:
        json.dump(keys, f, indent=1)


def table_rows(path, pattern):
    try:
        with open(path) as f:
            return [m.groups() for m in (re.match(pattern, line.strip()) for line in f) if m]
    except OSError as e:
        fail("cannot read %s: %s" % (path, e.strerror))


def tabulate(args):
    with open(args.keys) as f:
        keys = json.load(f)
    reviewers = sorted(keys)
    scores, subjects, choices = {}, {}, {}
    for r in reviewers:
        for pic, subject, score, _ in table_rows(os.path.join(args.answers, "stills_%s.md" % r),
                                                 r"\| (pic_\d+) \| ([^|]*) \| (\d) \| (.*) \|$"):
            name = keys[r]["stills"][pic]
            scores.setdefault(name, {})[r] = int(score)
            subjects.setdefault(name, subject.strip())
        for pair, better, margin, _ in table_rows(os.path.join(args.answers, "pairs_%s.md" % r),
                                                  r"\| (pair_\d+) \| ([AB]) \| (\w+) \| (.*) \|$"):
            key = keys[r]["pairs"][pair]
            won = "new" if better == key["new"] else "old"
            choices.setdefault(key["slot"], {})[r] = "%s (%s)" % (won, margin)
    names = sorted(set(scores) | set(choices))
    print("| slide | subject | %s | mean | preferred: %s |" % (" | ".join(reviewers), " / ".join(reviewers)))
    print("|---|---|%s---|---|" % ("---|" * len(reviewers)))
    means = []
    for name in names:
        row = [scores.get(name, {}).get(r) for r in reviewers]
        given = [s for s in row if s is not None]
        mean = sum(given) / len(given) if given else float("nan")
        means.append(mean)
        print("| %s | %s | %s | %.2f | %s |" % (
            name, subjects.get(name, ""), " | ".join("-" if s is None else str(s) for s in row), mean,
            " / ".join(choices.get(name, {}).get(r, "-") for r in reviewers)))
    per = [sum(scores[n][r] for n in names if r in scores.get(n, {})) /
           max(1, sum(1 for n in names if r in scores.get(n, {}))) for r in reviewers]
    print("| average | | %s | %.2f | |" % (" | ".join("%.2f" % p for p in per), sum(means) / len(means)))
    preferred = sum(1 for n in names
                    if sum(1 for c in choices.get(n, {}).values() if c.startswith("new")) * 2 > len(reviewers))
    print("\nslides >=4: %d  >=3: %d  min: %.2f  new preferred by most: %d of %d" % (
        sum(1 for m in means if m >= 4), sum(1 for m in means if m >= 3), min(means), preferred, len(names)))


def main():
    parser = argparse.ArgumentParser(prog=TOOL, description=__doc__.split("\n\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("make", help="write the blind sets and their key")
    p.add_argument("new", help="folder of the new slides (e.g. data/)")
    p.add_argument("old", help="folder of the slides they replace, same names")
    p.add_argument("out", help="empty or new folder for the sets")
    p.add_argument("--seed", type=int, default=1, help="shuffling seed (default 1)")
    p.add_argument("--reviewers", type=int, default=3, help="reviewers of each kind (default 3)")
    p = sub.add_parser("tabulate", help="print the table of the answers")
    p.add_argument("answers", help="folder holding stills_rK.md and pairs_rK.md")
    p.add_argument("keys", help="the keys.json written by make")
    args = parser.parse_args()
    if args.command == "make":
        if args.reviewers < 1:
            fail("--reviewers must be at least 1")
        make(args)
    else:
        tabulate(args)


if __name__ == "__main__":
    main()
