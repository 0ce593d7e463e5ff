"""Independent checks of the smart cache.

1. The path clients of a saved figure: "nPathClients" and "Client0".."Client2", each the 32-bit
   index the serializer gave, -1 for a client that is not being saved; the rectangular records
   0x40020001-7 come before them.
2. Coverage hit tests against shapely: for every grid point at least 2 pixels (0.02 inch) from the
   star's outline, the coverage answer equals shapely's containment.
"""
import os
import struct
import subprocess
import sys
import tempfile

from shapely.geometry import Point, Polygon

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests"))
from check_saved_records import read_records  # noqa: E402  the record format's one reader


def run(*args):
    subprocess.run([os.environ["TARN_WINE_RUN"], os.path.join(os.environ["TARN_BIN"], "TarnSmartCacheSamples.exe")]
                   + list(args), check=True)


def check_clients(path):
    data = open(path, "rb").read()
    records, end = read_records(data)
    assert end == len(data)
    names = [n for n, _ in records]
    values = dict(records)
    layer = [0x40020001 + i for i in range(7)]
    assert all(i in values for i in layer), names
    clients = ["nPathClients", "Client0", "Client1", "Client2"]
    assert names[-4:] == clients, names
    assert names.index(layer[-1]) < names.index("nPathClients")
    assert struct.unpack("<i", values["nPathClients"]) == (3,)
    # Attached second, stranger, first; the serializer numbers first 1, owner 2, second 3.
    assert [struct.unpack("<i", values[c])[0] for c in clients[1:]] == [3, -1, 1]


def check_hits(path):
    vertices, hits = [], []
    for line in open(path):
        words = line.split()
        if words[0] == "v":
            vertices.append((float(words[1]), float(words[2])))
        else:
            hits.append((float(words[1]), float(words[2]), words[3] == "1"))
    star = Polygon(vertices)
    assert star.is_valid
    compared = inside = 0
    for x, y, hit in hits:
        point = Point(x, y)
        if star.exterior.distance(point) < 0.02:
            continue
        expected = star.contains(point)
        assert hit == expected, "(%g, %g): coverage says %s, shapely %s" % (x, y, hit, expected)
        compared += 1
        inside += expected
    assert compared > 5000 and inside > 1000, (compared, inside)
    return compared


def main():
    with tempfile.TemporaryDirectory() as folder:
        saved = os.path.join(folder, "clients.bin")
        run("clients", saved)
        check_clients(saved)
        grid = os.path.join(folder, "hits.txt")
        run("hits", grid)
        compared = check_hits(grid)
    print("path clients decoded; %d coverage hit answers agree with shapely" % compared)


if __name__ == "__main__":
    main()
