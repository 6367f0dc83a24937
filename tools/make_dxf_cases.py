#!/usr/bin/python3
"""Writes DXF drawings with ezdxf (Debian's python3-ezdxf) that hold what the full import
reads beyond the sample files: nested and arrayed blocks with scale, rotation, extrusion and
base points, layer "0" and ByBlock inheritance, extruded outlines with bulges, circles and
arcs, polyface and polygon meshes, MESH, units, code pages, layer colours, binary DXF.
Check them with tools/dxf_crosscheck.py. A developer's tool: no test runs it.

usage: tools/make_dxf_cases.py OUT_DIR
"""
import math
import os
import sys

import ezdxf
from ezdxf.math import Vec3


def cube(block, size=100.0):
    s = size
    p = [Vec3(x, y, z) for z in (0, s) for y in (0, s) for x in (0, s)]
    quads = [(0, 1, 3, 2), (4, 5, 7, 6), (0, 1, 5, 4), (2, 3, 7, 6), (0, 2, 6, 4), (1, 3, 7, 5)]
    for i, q in enumerate(quads):
        # layer 0 and ByBlock inherit from the INSERT; one face keeps its own layer and colour
        attribs = {'layer': '0', 'color': 0} if i else {'layer': 'Glass', 'color': 5}
        block.add_3dface([p[k] for k in q], dxfattribs=attribs)


def blocks_case(path, binary=False, version='R2000'):
    doc = ezdxf.new(version)
    doc.header['$INSUNITS'] = 5  # centimetres
    doc.layers.add('Walls', color=1)
    doc.layers.add('Glass', color=5)
    doc.layers.add('Hidden', color=3).off()
    frozen = doc.layers.add('Frozen', color=30)
    frozen.freeze()
    c = doc.blocks.new('CUBE', base_point=(50, 50, 0))
    cube(c)
    row = doc.blocks.new('ROW')
    for i in range(3):
        row.add_blockref('CUBE', (i * 250, 0, 0), dxfattribs={'rotation': 15 * i, 'xscale': 1 + i * 0.5,
                                                             'layer': '0', 'color': 0})
    row.add_solid([(0, -100), (600, -100), (0, -50), (600, -50)], dxfattribs={'layer': '0', 'color': 256})
    tower = doc.blocks.new('TOWER', base_point=(0, 0, 0))
    for level in range(3):
        tower.add_blockref('ROW', (0, 0, level * 120), dxfattribs={'layer': '0'})
    msp = doc.modelspace()
    ins = msp.add_blockref('ROW', (1000, 2000, 0), dxfattribs={'layer': 'Walls', 'color': 256, 'rotation': 30})
    ins.grid(size=(2, 3), spacing=(400, 900))
    msp.add_blockref('CUBE', (-500, 0, 0), dxfattribs={'layer': 'Hidden', 'color': 3, 'extrusion': (0, 1, 1),
                                                      'xscale': 2, 'yscale': 0.5, 'zscale': 3, 'rotation': 40})
    msp.add_blockref('CUBE', (-1500, 0, 0), dxfattribs={'layer': 'Frozen', 'xscale': -1})  # mirrored
    msp.add_blockref('TOWER', (3000, -1000, 50), dxfattribs={'layer': 'Walls', 'rotation': -90})
    msp.add_blockref('CUBE', (0, 0, 0), dxfattribs={'layer': 'Walls', 'xscale': 0})  # no area
    msp.add_blockref('NOSUCH', (0, 0, 0))
    # a paper-space face makes nothing
    doc.layout('Layout1').add_3dface([(0, 0), (10, 0), (10, 10), (0, 10)])
    if binary:
        doc.saveas(path, fmt='bin')
    else:
        doc.saveas(path)


def walls_case(path):
    doc = ezdxf.new('R2000')
    doc.header['$INSUNITS'] = 6  # metres
    msp = doc.modelspace()
    a = {'thickness': 2.5, 'layer': 'Walls'}
    msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (10, 0), (10, 5, 0, 0, -1), (0, 5)], format='xyseb', close=True,
                       dxfattribs=a)
    msp.add_lwpolyline([(0, 0), (3, 0, 0, 0, 2.0), (3, 3)], format='xyseb',
                       dxfattribs={**a, 'extrusion': (0, 0, -1), 'elevation': 1.5})
    msp.add_lwpolyline([(0, 0), (4, 1), (4, 4)], dxfattribs={**a, 'extrusion': (1, 1, 1)})
    p = msp.add_polyline2d([(20, 0), (25, 0), (25, 5)], dxfattribs={'thickness': -1.0, 'layer': 'Rails'})
    p.vertices[0].dxf.bulge = 0.3
    p.close(True)
    msp.add_circle((40, 0, 2), 3, dxfattribs={'thickness': 4, 'layer': 'Columns'})
    msp.add_circle((50, 0), 1.5, dxfattribs={'thickness': 4, 'layer': 'Columns', 'extrusion': (0, 1, 0)})
    msp.add_arc((60, 0), 5, 350, 20, dxfattribs={'thickness': 3, 'layer': 'Columns'})
    msp.add_arc((70, 0), 5, 0, 360, dxfattribs={'thickness': 3, 'layer': 'Columns'})
    msp.add_arc((80, 0), 5, 45, 45, dxfattribs={'thickness': 3, 'layer': 'Columns'})  # spans nothing
    msp.add_line((0, 10, 0), (10, 10, 0), dxfattribs={'thickness': 3})
    msp.add_line((0, 20, 0), (10, 20, 0))  # no thickness
    msp.add_solid([(0, 30), (5, 30), (0, 35), (5, 35)], dxfattribs={'extrusion': (0, 0, -1)})
    msp.add_trace([(10, 30), (15, 30), (10, 32), (15, 32)])
    doc.saveas(path)


def meshes_case(path):
    doc = ezdxf.new('R2010')
    doc.header['$INSUNITS'] = 4
    msp = doc.modelspace()
    pf = msp.add_polyface(dxfattribs={'layer': 'Faces'})
    pf.append_faces([[(0, 0, 0), (10, 0, 0), (10, 10, 0), (0, 10, 0)],
                     [(0, 0, 0), (10, 0, 0), (5, 5, 8)],
                     [(10, 0, 0), (10, 10, 0), (5, 5, 8)]])
    m = msp.add_polymesh((5, 7), dxfattribs={'layer': 'Grid', 'flags': 16 | 1 | 32})
    for i in range(5):
        for j in range(7):
            a = 2 * math.pi * j / 7
            m.set_mesh_vertex((i, j), (100 + 20 * math.cos(a), 20 * math.sin(a), i * 10))
    open_grid = msp.add_polymesh((4, 4), dxfattribs={'layer': 'Grid'})
    for i in range(4):
        for j in range(4):
            open_grid.set_mesh_vertex((i, j), (200 + i * 10, j * 10, (i * j) % 3))
    mesh = msp.add_mesh(dxfattribs={'layer': 'Mesh', 'color': 4})
    with mesh.edit_data() as data:
        data.vertices = [(300 + 10 * math.cos(2 * math.pi * k / 6), 10 * math.sin(2 * math.pi * k / 6), 0)
                         for k in range(6)] + [(300, 0, 15)]
        data.faces = [list(range(6))] + [[k, (k + 1) % 6, 6] for k in range(6)]
    doc.saveas(path)


def codepage_case(path, version, encoding, names):
    doc = ezdxf.new(version)
    doc.encoding = encoding  # written as $DWGCODEPAGE (before R2007)
    for i, name in enumerate(names):
        doc.layers.add(name, color=i + 1)
        doc.modelspace().add_3dface([(i * 20, 0), (i * 20 + 10, 0), (i * 20 + 10, 10)], dxfattribs={'layer': name})
    layer = doc.layers.add('TrueColour')
    layer.rgb = (12, 34, 56)
    doc.modelspace().add_3dface([(0, 50), (10, 50), (10, 60)], dxfattribs={'layer': 'TrueColour'})
    doc.saveas(path)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    blocks_case(os.path.join(out, 'blocks.dxf'))
    blocks_case(os.path.join(out, 'blocks_r12.dxf'), version='R12')
    blocks_case(os.path.join(out, 'blocks_bin.dxf'), binary=True)
    blocks_case(os.path.join(out, 'blocks_bin_r12.dxf'), binary=True, version='R12')
    walls_case(os.path.join(out, 'walls.dxf'))
    meshes_case(os.path.join(out, 'meshes.dxf'))
    codepage_case(os.path.join(out, 'cyrillic_r12.dxf'), 'R12', 'cp1251', ['Стена', 'Окно'])
    codepage_case(os.path.join(out, 'japanese_r12.dxf'), 'R12', 'cp932', ['壁', '窓ガラス'])
    codepage_case(os.path.join(out, 'unicode_r2000.dxf'), 'R2000', 'cp1252', ['Wände', 'Стена', '壁'])
    codepage_case(os.path.join(out, 'utf8_r2018.dxf'), 'R2018', 'utf8', ['Wände', 'Стена', '壁'])


if __name__ == '__main__':
    main()
