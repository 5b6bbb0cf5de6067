"""One design through the Python module, as a notebook calls it: study() with the design's every
value, and real_engine() where the design has a real engine. Reads the design as JSON on the
command line and prints what came back as JSON, NaN and None as null."""
import json
import math
import sys

import numpy

import rotary_ratio


def plain(value):
    """A value as JSON takes it: numbers as floats, NaN as null, strings as they are."""
    if isinstance(value, numpy.ndarray):
        value = value.item() if value.size == 1 else value.tolist()
    if isinstance(value, (numpy.floating, numpy.integer)):
        value = value.item()
    if isinstance(value, float) and not math.isfinite(value):
        return None
    return value


def main():
    design = json.loads(sys.argv[1])
    ports = {name: design[name] for name in
             ("intake", "exhaust", "peripheral_intake", "peripheral_exhaust") if name in design}
    for name in ("peripheral_intake", "peripheral_exhaust"):
        if name in ports:
            ports[name] = [tuple(window) for window in ports[name]]
    shared = dict(rotors=design.get("rotors", 1), rpm=design.get("rpm"),
                  gamma=design.get("gamma", 1.4), units=design.get("units"))
    real = {name: design[name] for name in ("seal_offset", "clearance", "recess", "target_ratio")
            if name in design}
    found = rotary_ratio.study(design["e"], design["R"], design["W"], steps=100, method="sweep",
                               gear_module=design.get("gear_module"), **real, **shared, **ports)
    out = {"study": {name: plain(column) for name, column in found.items()}}
    if real:
        one = rotary_ratio.real_engine(design["e"], design["R"], design["W"],
                                       gear_module=design.get("gear_module"), **real, **shared)
        out["real_engine"] = {name: plain(getattr(one, name))
                              for name in one.__dataclass_fields__}
    if "cycle" in design:
        settings = {name: tuple(value) if isinstance(value, list) else value
                    for name, value in design["cycle"].items()}
        modelled = rotary_ratio.cycle(design["e"], design["R"], design["W"], **real,
                                      rotors=shared["rotors"], units=shared["units"], **ports,
                                      **settings)
        out["cycle"] = {name: plain(getattr(modelled, name))
                        for name in modelled.__dataclass_fields__
                        if not isinstance(getattr(modelled, name), numpy.ndarray)}
    print(json.dumps(out))


if __name__ == "__main__":
    main()
