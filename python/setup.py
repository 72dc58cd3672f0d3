"""Builds the shamsi module with setuptools, for pip:

    pip install ./python --no-build-isolation

with Debian's python3-setuptools and python3-pybind11, and nothing from a
package registry. The native part is compiled from python/src and the
library's sources in ../shamsi, as CMake builds it; the version is the
project's (CMakeLists.txt).
"""

import glob
import os
import re

from pybind11.setup_helpers import Pybind11Extension, build_ext
from setuptools import setup

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as cmake_lists:
    VERSION = re.search(r"project\(\w+ VERSION ([0-9.]+)", cmake_lists.read()).group(1)


def _source(*parts):
    # setup.py's own folder is the current one when pip builds.
    return os.path.relpath(os.path.join(ROOT, *parts), HERE)


setup(
    name="shamsi",
    version=VERSION,
    description="Shamsi (Iranian solar) calendar for Python 3, numpy and pandas",
    license="MIT",
    packages=["shamsi"],
    package_data={"shamsi": ["py.typed", "*.pyi"]},
    ext_modules=[
        Pybind11Extension(
            "shamsi._shamsi",
            [_source(*parts, os.path.basename(path))
             for parts in (("python", "src"), ("shamsi",))
             for path in sorted(glob.glob(os.path.join(ROOT, *parts, "*.cpp")))],
            include_dirs=[_source("shamsi", "include")],
            cxx_std=20,
        )
    ],
    cmdclass={"build_ext": build_ext},
    install_requires=["numpy"],
    python_requires=">=3.9",
    zip_safe=False,
)
