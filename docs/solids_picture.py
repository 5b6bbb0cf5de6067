#!/usr/bin/env python3
"""The README's picture of the solids: the defaults' real engine with a pocket for ratio 9.4,
apex slots, a side intake and a peripheral exhaust, made by rotary_ratio.solids() as STL and
drawn apart along the shaft with matplotlib, headless."""
import pathlib
import tempfile

import matplotlib
import numpy

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from mpl_toolkits.mplot3d.art3d import Poly3DCollection  # noqa: E402
from stl import mesh  # noqa: E402

import rotary_ratio  # noqa: E402

DOCS = pathlib.Path(__file__).resolve().parent
# Each part, how far it is drawn apart along the shaft, and its colour.
PARTS = [("side_housing_rear", 330, "#8c9aa8"), ("rotor_housing", 150, "#b0b8c0"),
         ("rotor", -20, "#c87533"), ("side_housing_front", -230, "#8c9aa8")]


def shaded(triangles, colour):
    """Each facet's colour lit from the viewer's upper left: Debian's matplotlib shades no
    collection of its own."""
    normals = numpy.cross(triangles[:, 1] - triangles[:, 0], triangles[:, 2] - triangles[:, 0])
    normals /= numpy.linalg.norm(normals, axis=1)[:, None] + 1e-30
    light = numpy.array([-0.4, -0.7, 0.6])
    light /= numpy.linalg.norm(light)
    brightness = 0.45 + 0.55 * numpy.abs(normals @ light)
    rgb = numpy.array(matplotlib.colors.to_rgb(colour))
    return numpy.clip(brightness[:, None] * rgb, 0, 1)


def main():
    with tempfile.TemporaryDirectory() as folder:
        made = rotary_ratio.solids(
            15, 105, 80, seal_offset=2, clearance=0.1, target_ratio=9.4,
            recess_pocket=(60, 30, 5), apex_slot=(2, 8), shaft_angle=30,
            intake=DOCS / "side-intake.csv", peripheral_exhaust=(42.5, 54.4, 30),
            chord=0.2, stl=pathlib.Path(folder) / "engine.stl")
        figure = plt.figure(figsize=(10, 5), dpi=100)
        axes = figure.add_subplot(projection="3d")
        for name, shift, colour in PARTS:
            part = mesh.Mesh.from_file(str(pathlib.Path(folder) / f"engine-{name}.stl"))
            triangles = part.vectors.copy()
            triangles[:, :, 2] += shift
            # The shaft drawn along the page's depth: z of the engine to y of the picture.
            triangles = triangles[:, :, [0, 2, 1]]
            axes.add_collection3d(Poly3DCollection(triangles, facecolors=shaded(triangles, colour),
                                                   edgecolor="none"))
    axes.set_xlim(-160, 160)
    axes.set_ylim(-330, 520)
    axes.set_zlim(-160, 160)
    axes.set_box_aspect((300, 850, 300), zoom=1.3)
    axes.view_init(elev=18, azim=-28)
    axes.set_axis_off()
    axes.set_title(f"rotor {made.rotor_mass:.2f} kg, pocket {made.recess_depth:.1f} mm deep "
                   f"for ratio 9.4", fontsize=10)
    figure.subplots_adjust(0, 0, 1, 0.95)
    figure.savefig(DOCS / "solids.png")


if __name__ == "__main__":
    main()
