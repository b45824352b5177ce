#!/usr/bin/env python3
"""Runs Dyskar's benchmarks and their peer programs in the same run; prints the table.

Usage: compare.py BUILD_DIR WORK_DIR SIZE... (called by bench/compare.sh, which builds the
benchmarks, makes the pl_PL.UTF-8 locale in WORK_DIR and starts an X server on $DISPLAY).
"""
import json
import math
import os
import subprocess
import sys
import time

build, work = sys.argv[1], sys.argv[2]
sizes = [int(s) for s in sys.argv[3:]]
bench = os.path.join(build, "bench")
sort_locale = "pl_PL.UTF-8"
# The window and the generator run as for a Polish user: Polish collation.
polish = dict(os.environ, LC_ALL=sort_locale, LANG=sort_locale, LOCPATH=work)


def timed(command, repeat=3, env=None):
    """The best wall time of a command, in milliseconds."""
    best = math.inf
    for _ in range(repeat):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, env=env)
        best = min(best, (time.perf_counter() - start) * 1000)
    return best


def generate(records, shelves, as_saved=False):
    """A generated catalogue; as_saved puts it in name order, as the catalogue saves it."""
    tag = "-saved" if as_saved else ""
    path = os.path.join(work, f"catalogue-{records}-{shelves}{tag}.dat")
    if not os.path.exists(path):
        subprocess.run([os.path.join(bench, "bench_Generate"), str(records), str(shelves), path]
                       + (["--as-saved"] if as_saved else []), check=True, env=polish)
    return path


def google_benchmark(program, pattern, env=None):
    """Real time in milliseconds of each benchmark the pattern picks, by name."""
    out = subprocess.run([os.path.join(bench, program), f"--benchmark_filter={pattern}",
                          "--benchmark_format=json"], check=True, capture_output=True,
                         text=True, env=env).stdout
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    result = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("error_occurred"):
            raise SystemExit(f"{b['name']}: {b.get('error_message')}")
        result[b["name"].split("/iterations")[0]] = b["real_time"] * scale[b["time_unit"]]
    return result


def window(path, tag, runs=3):
    """The real window under the X server: start-up, clicks, idle CPU and peak memory; each
    figure the median of a few runs, each run a process of its own."""
    env = dict(polish, QT_QPA_PLATFORM="xcb", DYSKAR_BENCH_FILE=path,
               XDG_CONFIG_HOME=os.path.join(work, "config-" + tag))
    results = []
    for _ in range(runs):
        out = subprocess.run([os.path.join(bench, "bench_Window"), "--benchmark_format=json"],
                             check=True, capture_output=True, text=True, env=env).stdout
        b = json.loads(out)["benchmarks"][0]
        if b.get("error_occurred"):
            raise SystemExit(f"bench_Window: {b.get('error_message')}")
        results.append(b)
    keys = ["startup_ms", "click_name_ms", "click_name_again_ms", "click_kind_ms",
            "click_name_after_kind_ms", "uncheck_lent_ms", "check_lent_ms", "page_down_ms",
            "page_down_slowest_ms", "idle_cpu_pct", "peak_mib"]
    return {k: sorted(r[k] for r in results)[len(results) // 2] for k in keys}


rows = []  # (work, records, ours, peer name, peer figure, ratio text, target, met)


def amount(value, unit):
    """A figure with as many decimals as it needs to show more than nought."""
    return f"{value:,.1f} {unit}" if abs(value) >= 0.1 or value == 0 else f"{value:.2g} {unit}"


def add(what, records, ours, peer_name, peer, target, limit, unit="ms", difference=False):
    if difference:
        figure = ours - peer
        ratio = f"+{figure / 1000:.2f} s"
        met = figure <= limit
    else:
        figure = ours / peer if peer else math.inf
        ratio = f"{figure:.3g}×"
        met = figure <= limit
    rows.append((what, records, amount(ours, unit), peer_name, amount(peer, unit), ratio,
                 target, "yes" if met else "**no**"))


def add_frame(what, records, ours, limit_ms, mawk, ratio, peer_name="mawk -F'\\t'",
              base=None):
    """A figure of the window against a time and, since machines differ, the same time as a
    ratio to mawk's split of the same file in the same run: either met counts. Where base is
    given (the empty program's), the figure is what the window takes beyond it."""
    beyond = ours - base if base is not None else ours
    met = beyond <= limit_ms or beyond <= ratio * mawk
    plus = "+" if base is not None else ""
    target = f"≤ {plus}{amount(limit_ms, 'ms')} or ≤ {plus}{ratio:g}× mawk"
    shown = amount(ours, "ms") + (f" (+{amount(beyond, 'ms')})" if base is not None else "")
    rows.append((what, records, shown, peer_name if base is None else "empty file; mawk",
                 amount(mawk, "ms") if base is None else
                 f"{amount(base, 'ms')}; {amount(mawk, 'ms')}",
                 f"{beyond / mawk:.3g}× mawk" if mawk else "-", target,
                 "yes" if met else "**no**"))


sort_env = polish
empty = os.path.join(work, "empty.dat")
open(empty, "wb").close()
empty_window = window(empty, "empty")
growth = {}

for n in sizes:
    path = generate(n, 300)
    size_mib = os.path.getsize(path) / 2**20
    copy = os.path.join(work, "copy.dat")
    utf8 = path + ".utf8"
    with open(path, "rb") as source, open(utf8, "wb") as target:
        target.write(source.read().decode("cp1250").encode("utf-8"))
    slow = 1 if n >= 1000000 else 3

    mawk = timed(["mawk", "-F\t", "{ f += NF } END { print f }", path])
    cp = timed(["cp", path, copy])
    cp_sync = timed(["sh", "-c", 'cp "$0" "$1" && sync "$1"', path, copy])
    gnu_sort = timed(["sort", "-t\t", "-k1,1", "--parallel=1", "-o", os.devnull, utf8],
                     repeat=slow, env=sort_env)

    ours = google_benchmark("bench_Catalogue",
                            f"^BM_(Load/{n}/300|SaveAfterEdit/{n}/[01]|RebuildView/{n}|"
                            f"FindTyping/records:{n}/further:1)$")
    ours.update(google_benchmark("bench_Sort",
                                 f"^BM_(FirstSortByName/{n}/1/0|ResortAfterEdit/{n})/"))
    w = window(path, str(n))
    saved = window(generate(n, 300, as_saved=True), f"{n}-saved")

    load = ours[f"BM_Load/{n}/300"]
    first_sort = ours[f"BM_FirstSortByName/{n}/1/0"]
    figures = {
        "load": load,
        "save": ours[f"BM_SaveAfterEdit/{n}/0"],
        "name": w["click_name_ms"],
        "kind": w["click_kind_ms"],
        "return": w["click_name_after_kind_ms"],
        "resort": ours[f"BM_ResortAfterEdit/{n}"],
        "view": ours[f"BM_RebuildView/{n}"],
        "startup": w["startup_ms"] - empty_window["startup_ms"],
        "startup_saved": saved["startup_ms"] - empty_window["startup_ms"],
    }
    growth[n] = figures
    add("load into the master list", n, load, "mawk -F'\\t'", mawk, "≤ 1× mawk", 1)
    saves = [("rows in memory at random", figures["save"])]
    if f"BM_SaveAfterEdit/{n}/1" in ours:
        saves.insert(0, ("file as saved", ours[f"BM_SaveAfterEdit/{n}/1"]))
    for label, figure in saves:
        what = f"save after an edit (master in name order), {label}"
        add(what, n, figure, "cp", cp, "≤ 3× cp", 3)
        add(what, n, figure, "cp + sync", cp_sync, "≤ 1× cp + sync", 1)
    base = empty_window["startup_ms"]
    if n <= 20000:
        # A catalogue of the size people keep: start-up within 30 ms of the empty program's,
        # every click and key within a frame.
        add_frame("start-up to the painted window, typical size", n, w["startup_ms"], 30,
                  mawk, 0.26, base=base)
        frame = [('click "Nazwa"', "click_name_ms"), ('click "Rodzaj"', "click_kind_ms"),
                 ('back to "Nazwa"', "click_name_after_kind_ms"),
                 ('uncheck "Pożyczone"', "uncheck_lent_ms"),
                 ('check "Pożyczone" again', "check_lent_ms"),
                 ("Page Down, slowest of 20 presses", "page_down_slowest_ms")]
        for label, key in frame:
            add_frame(f"{label}, typical size", n, w[key], 16, mawk, 0.14)
    else:
        add_frame('first click on "Nazwa" (turns the order it has)', n, figures["name"], 16,
                  mawk, 0.14)
        add_frame('first click on "Rodzaj"', n, figures["kind"], 100, mawk, 0.9)
        add_frame('click "Nazwa" again after "Rodzaj" (its order kept)', n, figures["return"],
                  50, mawk, 0.45)
        add_frame('uncheck "Pożyczone" (shown list built anew, painted, counts)', n,
                  w["uncheck_lent_ms"], 40, mawk, 0.35)
        add_frame('check "Pożyczone" again', n, w["check_lent_ms"], 40, mawk, 0.35)
        add_frame("Page Down, slowest of 20 presses", n, w["page_down_slowest_ms"], 16, mawk,
                  0.14)
    add('click "Nazwa" in the window (keys known)', n, figures["name"],
        "GNU sort -k1,1 pl_PL", gnu_sort, "≤ 0.05× (≤ 250 ms)", 0.05)
    add('first click on "Rodzaj"', n, figures["kind"], "GNU sort -k1,1 pl_PL", gnu_sort,
        "≤ 0.2×", 0.2)
    add("re-sort of the master list after one edit", n, figures["resort"], "its first sort",
        first_sort, "≤ 0.02×", 0.02)
    add('uncheck "Pożyczone" (view rebuild)', n, figures["view"], "load", load, "≤ 0.25× load",
        0.25)
    add("find: one more character typed", n, ours[f"BM_FindTyping/records:{n}/further:1"],
        "mawk -F'\\t'", mawk, "≤ 1× mawk", 1)
    if n > 20000:
        add_frame("start-up to the painted window, file as the catalogue saves it", n,
                  saved["startup_ms"], 300, mawk, 2.6, base=base)
        add_frame("start-up to the painted window, file in random order", n, w["startup_ms"],
                  600, mawk, 5, base=base)
    limit = 4 * size_mib + empty_window["peak_mib"]
    for label, run in [("file as saved", saved), ("file in random order", w)]:
        rows.append((f"peak memory (VmHWM) after start-up and the clicks, {label}", n,
                     f"{run['peak_mib']:,.0f} MiB", f"file {size_mib:.1f} MiB; empty program",
                     f"{empty_window['peak_mib']:,.0f} MiB",
                     f"{run['peak_mib'] / size_mib:.1f}× file" if size_mib else "-",
                     f"< 4× file + empty ({limit:,.0f} MiB)",
                     "yes" if run["peak_mib"] < limit else "**no**"))
    rows.append(("idle CPU with the window open", n, f"{w['idle_cpu_pct']:.2f} %", "-", "-", "-",
                 "< 1 %", "yes" if w["idle_cpu_pct"] < 1 else "**no**"))

# Pick lists: 100 000 records, each on a shelf of its own.
shelves = generate(100000, 100000)
picks = google_benchmark("bench_Catalogue", "^BM_(RefreshPickLists/100000/[012]"
                         "(/iterations:[0-9]+)?|Load/100000/100000)$")
for arg, label in [(0, "after an edit that keeps the values"),
                   (1, "after a row moved to a new shelf"),
                   (2, "after an edit, every kind also spelt in small letters")]:
    add(f"pick lists, 100 000 distinct shelves, {label}", 100000,
        picks[f"BM_RefreshPickLists/100000/{arg}"], "load of the same file",
        picks["BM_Load/100000/100000"], "≤ 0.5× load", 0.5)

print("| Work | Records | Dyskar | Peer | Peer's figure | Ratio | Target | Met |")
print("|---|---:|---:|---|---:|---:|---|---|")
for r in rows:
    print(f"| {r[0]} | {r[1]:,} | {r[2]} | {r[3]} | {r[4]} | {r[5]} | {r[6]} | {r[7]} |")

if 100000 in growth and 1000000 in growth:
    print()
    print("Growth from 100 000 to 1 000 000 records (linear: 10×; n log n: 12×):")
    print()
    print("| Work | 100 000 | 1 000 000 | Growth | Allowed |")
    print("|---|---:|---:|---:|---:|")
    allowed = {"name": 12, "kind": 12, "return": 12, "resort": 12}
    for key, label in [("load", "load"), ("save", "save"), ("name", 'click "Nazwa"'),
                       ("kind", 'click "Rodzaj"'), ("return", 'back to "Nazwa"'),
                       ("resort", "re-sort after an edit"),
                       ("view", "view rebuild"), ("startup", "start-up beyond the empty one"),
                       ("startup_saved", "the same, file as saved")]:
        a, b = growth[100000][key], growth[1000000][key]
        g = b / a if a > 0 else math.inf
        print(f"| {label} | {a:,.1f} ms | {b:,.1f} ms | {g:.1f}× | {allowed.get(key, 10)}× |")

# What a row costs: resident bytes per record after each stage, one process per size.
print()
print("Resident bytes per record beyond the program's own (bench_Memory), beside the file's:")
print()
stages = [("loaded", "master loaded"), ("view_built", "view built"),
          ("sorted_0", 'sorted by "Nazwa"'), ("sorted_1", 'then "Rodzaj"'),
          ("sorted_4", "then every column"), ("view_rebuilt", "view rebuilt"),
          ("peak", "peak")]
print("| Records | File | " + " | ".join(label for _, label in stages) + " |")
print("|---:|---:|" + "---:|" * len(stages))
for n in sizes:
    out = subprocess.run([os.path.join(bench, "bench_Memory"), "--benchmark_format=json",
                          f"--benchmark_filter=^BM_BytesPerRow/{n}/"],
                         check=True, capture_output=True, text=True, env=polish).stdout
    found = json.loads(out)["benchmarks"]
    if not found:
        continue
    b = found[0]
    print(f"| {n:,} | {b['file']:.0f} | " +
          " | ".join(f"{b[key]:.0f}" for key, _ in stages) + " |")
