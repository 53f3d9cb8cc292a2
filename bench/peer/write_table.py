"""Turns the comparison's log into the table of docs/performance.md (between its peer markers)
and the data file of the plot.

Usage: write_table.py PEER.log PERFORMANCE.md PLOT.dat REPEATS BLENDER_VERSION
Each log line: side vertices copies run key=value... Each side's figure per run is the median of
its steady-state refreshes; a range is the lowest to the highest of those medians over the runs.
A Blender line may instead say the case was not run (skipped_gib: the memory it would need) or
that the Array modifier declined it (refused_corners: the face corners of the result).
"""
import sys

path, doc, plot, repeats, version = sys.argv[1:6]
runs = {}
# Why Blender has no figures for a case.
peer_missing = {}
for line in open(path):
    side, vertices, copies, _run, *pairs = line.split()
    fields = dict(pair.split("=") for pair in pairs)
    case = (int(vertices), int(copies))
    if "refused_corners" in fields:
        peer_missing[case] = ("refused: \"The amount of copies is too high\" (%s face corners)"
                              % format(int(fields["refused_corners"]), ","))
        continue
    if "skipped_gib" in fields:
        peer_missing[case] = "not run: about %s GiB" % fields["skipped_gib"]
        continue
    runs.setdefault(case, {}).setdefault(side, []).append({
        "wall": float(fields["wall_ns_per_vertex"].split(",")[1]),
        "cpu": float(fields["cpu_ns_per_vertex"].split(",")[1]),
        "peak": float(fields["peak_rss_mib"]),
        # Ours only: the page faults of the median refresh.
        "faults": float(fields.get("faults_per_refresh", "nan,nan,nan").split(",")[1])})


def values(side_runs, key):
    return [r[key] for r in side_runs]


def median(xs):
    return sorted(xs)[len(xs) // 2]


def span(xs, digits):
    lo, hi = min(xs), max(xs)
    same = round(lo, digits) == round(hi, digits)
    return "%.*f" % (digits, lo) if same else "%.*f to %.*f" % (digits, lo, digits, hi)


def ratio(peer, ours):
    return span([min(peer) / max(ours), max(peer) / min(ours)], 0)


def memory(side_runs):
    top = max(values(side_runs, "peak"))
    return "%.1f GiB" % (top / 1024) if top >= 1024 else "%.0f MiB" % top


lines = ["| output vertices | mesh x copies | Blender ns / vertex | ours ns / vertex | ratio | "
         "Blender CPU ns / vertex | ours CPU ns / vertex | CPU ratio | Blender peak memory | "
         "our peak memory | our page faults per refresh |",
         "|---|---|---|---|---|---|---|---|---|---|---|"]
plot_rows = []
for (v, c) in sorted(runs, key=lambda k: (k[0] * k[1], k[0])):
    ours, peer = runs[(v, c)]["quorvel"], runs[(v, c)].get("blender")
    row = [format(v * c, ","), "%s x %d" % (format(v, ","), c)]
    if peer:
        row += [span(values(peer, "wall"), 0), span(values(ours, "wall"), 1),
                ratio(values(peer, "wall"), values(ours, "wall")), span(values(peer, "cpu"), 0),
                span(values(ours, "cpu"), 1), ratio(values(peer, "cpu"), values(ours, "cpu")),
                memory(peer), memory(ours)]
    else:
        row += [peer_missing.get((v, c), "not run"),
                span(values(ours, "wall"), 1), "", "", span(values(ours, "cpu"), 1), "", "",
                memory(ours)]
    row.append("%.0f" % max(values(ours, "faults")))
    lines.append("| " + " | ".join(row) + " |")
    nan = "NaN"
    plot_rows.append(" ".join(str(x) for x in [
        v * c,
        median(values(peer, "wall")) if peer else nan, min(values(peer, "wall")) if peer else nan,
        max(values(peer, "wall")) if peer else nan,
        median(values(ours, "wall")), min(values(ours, "wall")), max(values(ours, "wall")),
        median(values(peer, "cpu")) if peer else nan, median(values(ours, "cpu"))]))

with open(plot, "w") as out:
    out.write("# out peer_wall peer_lo peer_hi ours_wall ours_lo ours_hi peer_cpu ours_cpu\n")
    out.write("\n".join(plot_rows) + "\n")

lines.append("")
# Other work on a shared machine only ever adds time, so each case's least disturbed run is the
# fairest view of how the cost per vertex changes with size; the medians over runs are shown too.
for key, what in (("wall", "wall-clock"), ("cpu", "CPU time")):
    for pick, name in ((min, "lowest run"), (median, "median run")):
        per_case = [pick(values(s["quorvel"], key)) for s in runs.values()]
        lines.append("Ours, %s, %s of each case: %.1f to %.1f ns per output vertex, highest / "
                     "lowest %.2f." % (what, name, min(per_case), max(per_case),
                                       max(per_case) / min(per_case)))
lines.append("")
lines.append("%s runs of every case in one sitting; %s." % (repeats, version))

begin, end = "<!-- peer comparison: begin -->", "<!-- peer comparison: end -->"
text = open(doc).read()
head, rest = text.split(begin)
_, tail = rest.split(end)
open(doc, "w").write(head + begin + "\n" + "\n".join(lines) + "\n" + end + tail)
