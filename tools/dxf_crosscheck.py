#!/usr/bin/python3
"""Cross-checks the full DXF import of vorla-cli against ezdxf (Debian's python3-ezdxf).

For each DXF file, ezdxf reads the drawing and this script makes the faces the full import
is meant to make of model space (3DFACE, SOLID, TRACE, LINE with thickness, polyface and
polygon meshes, MESH, LWPOLYLINE / 2D POLYLINE / CIRCLE / ARC walls, all of it inside blocks
placed by INSERT), drops those of no area, scales by $INSUNITS and compares the count, the
faces per layer and the bounds with `vorla-cli info --dxf-full --json` and `convert`.
A developer's tool: no test runs it.

usage: tools/dxf_crosscheck.py VORLA_CLI FILE.dxf...
"""
import collections
import json
import math
import os
import struct
import subprocess
import sys
import tempfile

import ezdxf
from ezdxf import recover
from ezdxf.lldxf.encoding import decode_dxf_unicode
from ezdxf.math import Vec3

UNITS_MM = {1: 25.4, 2: 304.8, 3: 1609344.0, 4: 1.0, 5: 10.0, 6: 1000.0, 7: 1e6, 8: 2.54e-5, 9: 0.0254,
            10: 914.4, 11: 1e-7, 12: 1e-6, 13: 1e-3, 14: 100.0, 15: 1e4, 16: 1e5, 17: 1e12,
            18: 1.495978707e14, 19: 9.4607304725808e18, 20: 3.0856775814913673e19,
            21: 1200 / 3937 * 1000, 22: 100 / 3937 * 1000, 23: 3600 / 3937 * 1000, 24: 6336000 / 3937 * 1000}


def has_area(c):
    longest = max((c[j] - c[i]).magnitude_square for i in range(4) for j in range(i + 1, 4))
    if longest <= 0:
        return False
    largest = max(((c[b] - c[a]).cross(c[d] - c[a])).magnitude_square
                  for a, b, d in ((0, 1, 2), (0, 2, 3), (0, 1, 3), (1, 2, 3)))
    return largest > (1e-10 * longest) ** 2


def segments(span):
    return max(1, math.ceil(span / 10.0 - 1e-9))


class Faces:
    def __init__(self):
        self.faces = []  # (kind, layer, corners)

    def add(self, kind, layer, corners):
        corners = [Vec3(p) for p in corners]
        if len(corners) == 3:
            corners.append(corners[2])
        self.faces.append((kind, layer, corners))

    def walls(self, kind, layer, points, thickness, extrusion):
        up = Vec3(extrusion).normalize(thickness)
        for a, b in zip(points, points[1:]):
            if a.isclose(b, abs_tol=0):
                continue
            self.add(kind, layer, [a, b, b + up, a + up])


def arc_points(e, start, span):
    n = segments(span)
    angles = [start + span * k / n for k in range(n + 1)]
    return list(e.vertices(angles))


def outline_points(e):
    """The outline of a 2D POLYLINE or an LWPOLYLINE in WCS through ezdxf's own LINE/ARC parts."""
    points = []
    for part in e.virtual_entities():
        if part.dxftype() == 'LINE':
            seg = [part.dxf.start, part.dxf.end]
        elif part.dxftype() == 'ARC':
            span = ezdxf.math.arc_angle_span_deg(part.dxf.start_angle, part.dxf.end_angle)
            seg = arc_points(part, part.dxf.start_angle, span)
            # the bulge runs from the polyline's vertex, which may be the arc's end point
            ocs_start = Vec3(part.dxf.center) + Vec3.from_deg_angle(part.dxf.start_angle, part.dxf.radius)
            if points and not part.ocs().to_wcs(ocs_start).isclose(points[-1], abs_tol=1e-6):
                seg = seg[::-1]
        else:
            continue
        if points and Vec3(seg[0]).isclose(points[-1], abs_tol=1e-9):
            seg = seg[1:]
        points.extend(Vec3(p) for p in seg)
    return points


def entity_faces(e, layer, out):
    t = e.dxftype()
    if t == '3DFACE':
        out.add(t, layer, [e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx2, e.dxf.vtx3])
    elif t in ('SOLID', 'TRACE'):
        ocs = e.ocs()
        v = [e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx2, e.dxf.get('vtx3', e.dxf.vtx2)]
        out.add(t, layer, [ocs.to_wcs(p) for p in (v[0], v[1], v[3], v[2])])
    elif t == 'LINE':
        th = e.dxf.thickness
        if th:
            n = Vec3(e.dxf.extrusion)
            off = n * th if n.magnitude > 0 else Vec3(0, 0, th)
            s, d = Vec3(e.dxf.start), Vec3(e.dxf.end)
            out.add(t, layer, [s, d, d + off, s + off])
    elif t == 'POLYLINE':
        if e.is_poly_face_mesh:
            for face in e.faces():
                corners = [v.dxf.location for v in face[:-1]]  # the last is the face record
                if 3 <= len(corners) <= 4:
                    out.add('polyface mesh', layer, corners)
        elif e.is_polygon_mesh:
            m, n = e.dxf.m_count, e.dxf.n_count
            closed_m, closed_n = e.is_m_closed, e.is_n_closed
            get = lambda i, j: e.get_mesh_vertex((i % m, j % n)).dxf.location
            for i in range(m if closed_m else m - 1):
                for j in range(n if closed_n else n - 1):
                    out.add('polygon mesh', layer, [get(i, j), get(i, j + 1), get(i + 1, j + 1), get(i + 1, j)])
        elif e.is_2d_polyline and e.dxf.thickness:
            out.walls('POLYLINE', layer, outline_points(e), e.dxf.thickness, e.dxf.extrusion)
    elif t == 'LWPOLYLINE':
        if e.dxf.thickness:
            out.walls(t, layer, outline_points(e), e.dxf.thickness, e.dxf.extrusion)
    elif t in ('CIRCLE', 'ARC'):
        if e.dxf.thickness and e.dxf.radius > 0:
            if t == 'CIRCLE':
                start, span = 0.0, 360.0
            else:
                start = e.dxf.start_angle
                span = ezdxf.math.arc_angle_span_deg(start, e.dxf.end_angle)
            if span > 0:
                out.walls(t, layer, arc_points(e, start, span), e.dxf.thickness, e.dxf.extrusion)
    elif t == 'MESH':
        data = e.get_data()
        for face in data.faces:
            corners = [data.vertices[i] for i in face]
            if len(corners) < 3:
                continue
            if len(corners) <= 4:
                out.add(t, layer, corners)
            else:
                for k in range(1, len(corners) - 1):
                    out.add(t, layer, [corners[0], corners[k], corners[k + 1]])


def walk(entities, out, insert_layer, depth, stats):
    for e in entities:
        layer = decode_dxf_unicode(e.dxf.get('layer', '0')) if e.dxf.is_supported('layer') else '0'
        if insert_layer is not None and layer == '0':
            layer = insert_layer
        if e.dxftype() == 'INSERT':
            if depth > 50:
                stats['deep'] += 1
                continue
            copies = e.multi_insert() if e.mcount > 1 else [e]
            for copy in copies:
                try:
                    parts = list(copy.virtual_entities())
                except Exception as error:  # a missing block, a transform ezdxf refuses
                    stats['insert errors'] += 1
                    continue
                walk(parts, out, layer, depth + 1, stats)
        else:
            try:
                entity_faces(e, layer, out)
            except Exception as error:
                stats['errors ' + e.dxftype()] += 1


def expected(path):
    try:
        doc = ezdxf.readfile(path)
    except Exception:
        doc, _ = recover.readfile(path)
    stats = collections.Counter()
    out = Faces()
    msp = doc.modelspace()
    walk([e for e in msp if not (e.dxf.is_supported('paperspace') and e.dxf.get('paperspace', 0))], out, None, 0,
         stats)
    # $INSUNITS as the file gives it (ezdxf fills in 6 for a header without it)
    units = None
    with open(path, 'rb') as f:
        if b'$INSUNITS' in f.read():
            units = doc.header.get('$INSUNITS')
    scale = UNITS_MM.get(units, 1.0)
    kept = []
    origin = None
    f32 = lambda v: struct.unpack('f', struct.pack('f', v))[0]
    for kind, layer, corners in out.faces:
        c = [p * scale for p in corners]
        if origin is None:
            origin = Vec3(c[0].x, c[0].y, 0)
        # the no-area test on the floats the model holds, in plan less the first corner
        stored = [Vec3(f32(p.x - origin.x), f32(p.y - origin.y), f32(p.z)) for p in c]
        if has_area(stored):
            kept.append((kind, layer, c))
        else:
            stats['no area'] += 1
    return kept, units, scale, stats


def vorla(cli, path):
    info = subprocess.run([cli, 'info', '--dxf-full', '--json', path], capture_output=True, text=True)
    if info.returncode != 0:
        return None, info.stderr
    return json.loads(info.stdout), info.stderr.strip()


def vorla_layers(cli, path):
    """Faces per layer, through a .vrl written by the full import and read back by info."""
    with tempfile.TemporaryDirectory() as tmp:
        counts = collections.Counter()
        out = os.path.join(tmp, 'm.dxf')
        subprocess.run([cli, 'convert', '--dxf-full', path, out], capture_output=True, check=True)
        layer = None
        with open(out, encoding='utf-8', errors='replace') as f:
            lines = [l.rstrip('\n') for l in f]
        for code, value in zip(lines[0::2], lines[1::2]):
            if code.strip() == '8':
                counts[value] += 1
        return counts


def main():
    cli = sys.argv[1]
    bad = 0
    for path in sys.argv[2:]:
        kept, units, scale, stats = expected(path)
        got, summary = vorla(cli, path)
        name = os.path.basename(path)
        if got is None:
            print(f'{name}: vorla-cli failed: {summary}')
            bad += 1
            continue
        kinds = collections.Counter(k for k, _, _ in kept)
        layers = collections.Counter(l for _, l, _ in kept)
        lines = [f'{name}: ezdxf {len(kept)} faces {dict(kinds)}; vorla {got["shape_count"]}',
                 f'  units ezdxf {units} (scale {scale}); vorla {got["units"]} (scale {got["scale"]})',
                 f'  ezdxf notes {dict(stats)}', f'  vorla: {summary}']
        ok = len(kept) == got['shape_count'] and units == got['units']
        if kept and got['bounds']:
            lo = [min(p[a] for _, _, c in kept for p in c) for a in range(3)]
            hi = [max(p[a] for _, _, c in kept for p in c) for a in range(3)]
            # display frame after centring: x - cx, z (height), -(y - cy)
            want_min = [-(hi[0] - lo[0]) / 2, lo[2], -(hi[1] - lo[1]) / 2]
            want_max = [(hi[0] - lo[0]) / 2, hi[2], (hi[1] - lo[1]) / 2]
            got_min, got_max = got['bounds']['min'], got['bounds']['max']
            size = max(max(hi[a] - lo[a] for a in range(3)), 1e-9)
            close = all(abs(a - b) <= 1e-4 * size for a, b in zip(want_min + want_max, got_min + got_max))
            ok = ok and close
            lines.append(f'  bounds {"agree" if close else "DIFFER"}: ezdxf {want_min} .. {want_max}; '
                         f'vorla {got_min} .. {got_max}')
            per_layer = vorla_layers(cli, path)
            if per_layer != layers:
                ok = False
                lines.append(f'  layers DIFFER: ezdxf {dict(layers)}; vorla {dict(per_layer)}')
            else:
                lines.append(f'  faces per layer agree: {dict(layers)}')
        print(('OK   ' if ok else 'DIFF ') + '\n'.join(lines))
        bad += 0 if ok else 1
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main())
