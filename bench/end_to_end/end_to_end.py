"""quorvel-clone end to end beside Blender doing the same job, in one sitting: wall-clock time of
each phase (read, the Windows run, checking the result, write, pictures) and the peak resident
size of the whole process tree (sampled every 50 ms), on textured UV spheres turned 30 degrees
about Y per copy. Prints a Markdown table.

    python3 bench/end_to_end/end_to_end.py [--build DIR] [--work DIR]
        [--cases ARCH:VERTICES:COPIES ...] [--peer-cases VERTICES:COPIES ...]

COPIES is the number of copies in all (the source and COPIES - 1 added), as Blender's Array
modifier counts them; a case ending in ":plain" takes the sphere without texture coordinates.
"""
import argparse
import os
import re
import subprocess
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(root, "bench", "peer"))
import uv_sphere  # noqa: E402


def tree_rss_kib(pid, prefix):
    """Resident size of pid and all its descendants, in KiB, with the Windows programs running in
    the Wine prefixes under prefix (Wine detaches them from the process that started them)."""
    children, windows = {}, []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as stat:
                comm, rest = stat.read().split(" (", 1)[1].rsplit(")", 1)
            children.setdefault(int(rest.split()[1]), []).append(int(entry))
            if prefix and comm.startswith("standin_runner"):
                with open("/proc/%s/environ" % entry, "rb") as environ:
                    if ("WINEPREFIX=" + prefix).encode() in environ.read():
                        windows.append(int(entry))
        except OSError:
            continue
    total, todo = 0, [pid] + windows
    while todo:
        p = todo.pop()
        todo.extend(children.get(p, []))
        try:
            with open("/proc/%d/status" % p) as status:
                for line in status:
                    if line.startswith("VmRSS:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def run(command, env=None, prefix=None):
    """Runs command; returns (seconds, peak KiB of its tree, its output)."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env,
                               text=True, errors="replace")
    peak = 0
    while process.poll() is None:
        peak = max(peak, tree_rss_kib(process.pid, prefix))
        time.sleep(0.05)
    out, err = process.communicate()
    seconds = time.perf_counter() - start
    if process.returncode != 0:
        sys.exit("failed: %s\n%s\n%s" % (" ".join(command), out[-2000:], err[-2000:]))
    return seconds, peak, out + err


def sphere(work, vertices, uvs=True):
    path = os.path.join(work, "sphere-%s%d.obj" % ("uv-" if uvs else "", vertices))
    if not os.path.exists(path):
        v, f = uv_sphere.sphere(*uv_sphere.SIZES[vertices])
        uv_sphere.write_obj(path, v, f, uvs=uvs)
    return path


def array_bytes(vertices, copies, uvs):
    """The arrays of the input as read (positions, texture coordinates, corners with their
    texture-coordinate numbers, face ends) plus the result's as the host keeps them (positions,
    corners with a texture coordinate each, face ends)."""
    v, f = uv_sphere.sphere(*uv_sphere.SIZES[vertices])
    corners = sum(len(face) for face in f)
    source = 12 * len(v) + (8 * len(v) + 8 * corners if uvs else 4 * corners) + 4 * len(f)
    result = copies * (12 * len(v) + (12 if uvs else 4) * corners + 4 * len(f))
    return source + result


def load():
    with open("/proc/loadavg") as f:
        return f.read().split()[0]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(root, "build"))
    parser.add_argument("--work", default=os.path.join(root, "build-perf", "end_to_end"))
    parser.add_argument("--cases", nargs="*",
                        default=["64:100002:10", "64:100002:100", "64:100002:500", "32:100002:10",
                                 "32:100002:99:plain"])
    parser.add_argument("--peer-cases", nargs="*", default=["100002:10", "100002:100"])
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    runner = os.path.join(args.build, "native", "clone_tool", "cli", "quorvel-clone")
    env = dict(os.environ, QV_WINDOWS_BUILD_DIR=os.path.join(args.build, "windows"),
               QV_WINDOWS64_BUILD_DIR=os.path.join(args.build, "windows64"))
    out = os.path.join(args.work, "out")

    rows = []
    # What a run costs whatever its mesh: the built-in one, one copy.
    for arch in sorted({c.split(":")[0] for c in args.cases}):
        seconds, peak, said = run([runner, "--count", "1", "--arch", arch, "--out", out,
                                   "--name", "tiny", "--times"], env, args.build)
        windows = re.search(r"windows ([\d.]+) s", said).group(1)
        rows.append("| quorvel-clone %s-bit, built-in mesh (start-up) | 16 | %.2f | | %s | | | "
                    "| %.0f | | %s |" % (arch, seconds, windows, peak / 1024, load()))
    for case in args.cases:
        arch, vertices, copies, *plain = case.split(":")
        path = sphere(args.work, int(vertices), uvs=not plain)
        result = os.path.join(out, "result-%s.obj" % arch)
        seconds, peak, said = run([runner, path, "--rotation", "0,30,0", "--count",
                                   str(int(copies) - 1), "--arch", arch, "--out", out, "--name",
                                   "result-" + arch, "--times"], env, args.build)
        t = dict(re.findall(r" (\w+) ([\d.]+) s,", said))
        size = os.path.getsize(result) / 1e6
        ratio = peak * 1024 / array_bytes(int(vertices), int(copies), not plain)
        rows.append("| quorvel-clone %s-bit%s | %s | %.2f | %s | %s | %s | %s | %s | %.0f (%.2f) | %.0f | %s |"
                    % (arch, ", untextured" if plain else "", f"{int(vertices) * int(copies):,}",
                       seconds, t["read"], t["windows"], t["result"], t["write"], t["pictures"],
                       peak / 1024, ratio, size, load()))
        os.remove(result)
    for case in args.peer_cases:
        vertices, copies = case.split(":")
        path = sphere(args.work, int(vertices))
        result = os.path.join(args.work, "peer.obj")
        seconds, peak, said = run(["blender", "-b", "--factory-startup", "--python-exit-code", "1",
                                   "-P", os.path.join(root, "bench", "peer",
                                                      "blender_end_to_end.py"),
                                   "--", path, copies, result])
        t = dict(re.findall(r"(\w+)=([\d.]+)", said.split("peer_times", 1)[1].split("\n")[0]))
        size = os.path.getsize(result) / 1e6
        rows.append("| Blender | %s | %.2f | %s | %s | | %s | | %.0f (%.2f) | %.0f | %s |"
                    % (f"{int(vertices) * int(copies):,}", seconds, t["import"], t["array"],
                       t["export"], peak / 1024,
                       peak * 1024 / array_bytes(int(vertices), int(copies), True), size, load()))
        os.remove(result)
    print("| what | output vertices | end to end s | read | Windows run (Blender: the array) | "
          "result | write | "
          "pictures | peak MiB (/ arrays) | OBJ MB | load |")
    print("|---|---|---|---|---|---|---|---|---|---|---|")
    print("\n".join(rows))


main()
