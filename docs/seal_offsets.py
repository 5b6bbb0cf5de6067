# The compression ratio against K for three apex-seal offsets: the README's Python example.
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy
import rotary_ratio

e = numpy.linspace(5, 34, 300)                   # R = 105: K from 21 down to 3.1
offsets = numpy.array([0.0, 2.0, 4.0])[:, None]  # one row per seal offset
table = rotary_ratio.study(e, 105, 80, seal_offset=offsets, clearance=0.1)
ratio = table["real_compression_ratio"]          # shape (3, 300); NaN where refused

figure, (top, bottom) = plt.subplots(2, 1, sharex=True, figsize=(7, 6))
for row, offset in enumerate(offsets[:, 0]):
    top.plot(105 / e, ratio[row], label=f"seal offset {offset:g} mm")
    bottom.plot(105 / e, ratio[row] - ratio[0], label=f"seal offset {offset:g} mm")
top.set_ylabel("compression ratio")
bottom.set_ylabel("gain over no offset")
bottom.set_xlabel("trochoid ratio K = R / e (e from 5 to 34 mm, R = 105 mm, clearance 0.1 mm)")
top.legend()
figure.tight_layout()
figure.savefig("docs/seal-offsets.png", dpi=110)
