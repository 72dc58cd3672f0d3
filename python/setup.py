"""The native part of the shamsi module, for setuptools (pyproject.toml has the
rest of the project's metadata).

The extension shamsi._shamsi is compiled from every src/*.cpp and every
library source shamsi/*.cpp with pybind11. The library lies beside this
folder in the source tree (../shamsi, the version in ../CMakeLists.txt); an
sdist carries its own copy in cpp/ (and the version in PKG-INFO), so that it
builds again from itself:

    python -m build python/                  # sdist, and the wheel from it
    pip install ./python                     # from the source tree
    pip install ./python --no-build-isolation   # with Debian's setuptools and pybind11

The sdist is reproducible: its files sorted, owned by root, with modes 0644
(0755 for folders), dated SOURCE_DATE_EPOCH when it is set, and no date in
the gzip header.
"""

import glob
import gzip
import os
import re
import shutil
import stat
import tarfile

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup
from setuptools.command.sdist import sdist

HERE = os.path.dirname(os.path.abspath(__file__))
TREE = os.path.dirname(HERE)
BUNDLED = "cpp"  # the library's copy in an sdist


def _library_root():
    """The folder holding shamsi/ (the library): the sdist's copy, else the source tree's."""
    for root in (os.path.join(HERE, BUNDLED), TREE):
        if os.path.isdir(os.path.join(root, "shamsi", "include", "shamsi")):
            return root
    raise SystemExit(
        f"the Shamsi library's sources are neither in {os.path.join(HERE, BUNDLED)} (an sdist) "
        f"nor in {TREE} (the source tree): build from the source tree or from an sdist"
    )


LIBRARY = _library_root()


def _version():
    if LIBRARY == TREE:
        with open(os.path.join(TREE, "CMakeLists.txt"), encoding="utf-8") as cmake_lists:
            return re.search(r"project\(\w+ VERSION ([0-9.]+)", cmake_lists.read()).group(1)
    with open(os.path.join(HERE, "PKG-INFO"), encoding="utf-8") as info:
        return re.search(r"^Version: (\S+)$", info.read(), re.MULTILINE).group(1)


def _relative(path):
    # setup.py's own folder is the current one when pip builds.
    return os.path.relpath(path, HERE)


def _sources():
    own = sorted(glob.glob(os.path.join(HERE, "src", "*.cpp")))
    library = sorted(glob.glob(os.path.join(LIBRARY, "shamsi", "*.cpp")))
    return [_relative(path) for path in own + library]


def _library_files():
    """The library's files an sdist needs, relative to its root: sources and headers."""
    files = []
    for pattern in ("shamsi/*.cpp", "shamsi/*.h", "shamsi/include/shamsi/*.h"):
        files += [os.path.relpath(path, LIBRARY) for path in glob.glob(os.path.join(LIBRARY, pattern))]
    return sorted(files)


class ReproducibleSdist(sdist):
    """An sdist that carries the library and the licence, packed the same way every time."""

    def make_release_tree(self, base_dir, files):
        # setuptools lists the extension's sources, the library's among them
        # (../shamsi/*.cpp in the source tree): those go to cpp/ instead.
        files = [name for name in files if not os.path.normpath(name).startswith(os.pardir)]
        super().make_release_tree(base_dir, files)
        copies = [(os.path.join(LIBRARY, name), os.path.join(base_dir, BUNDLED, name)) for name in _library_files()]
        licence = os.path.join(HERE, "LICENSE") if LIBRARY != TREE else os.path.join(TREE, "LICENSE")
        copies.append((licence, os.path.join(base_dir, "LICENSE")))
        for source, target in copies:
            os.makedirs(os.path.dirname(target), exist_ok=True)
            if os.path.exists(target):
                os.remove(target)  # possibly a hard link to the source
            shutil.copyfile(source, target)

    def make_archive(self, base_name, format, root_dir=None, base_dir=None, owner=None, group=None):
        if format != "gztar":
            return super().make_archive(base_name, format, root_dir, base_dir, owner, group)
        epoch = os.environ.get("SOURCE_DATE_EPOCH")
        archive = base_name + ".tar.gz"
        paths = [base_dir]
        for folder, folders, names in os.walk(base_dir):
            folders.sort()
            paths += [os.path.join(folder, name) for name in sorted(folders + names)]
        with open(archive, "wb") as raw, gzip.GzipFile("", "wb", 9, raw, mtime=0) as packed, tarfile.open(
            fileobj=packed, mode="w", format=tarfile.PAX_FORMAT
        ) as tar:
            for path in sorted(set(paths)):
                info = tar.gettarinfo(path)
                info.uid = info.gid = 0
                info.uname = info.gname = "root"
                executable = info.isdir() or os.stat(path).st_mode & stat.S_IXUSR
                info.mode = 0o755 if executable else 0o644
                if epoch is not None:
                    info.mtime = int(epoch)
                if info.isfile():
                    with open(path, "rb") as content:
                        tar.addfile(info, content)
                else:
                    tar.addfile(info)
        return archive


# One compiler a core (NPY_NUM_BUILD_JOBS=N sets another number).
ParallelCompile("NPY_NUM_BUILD_JOBS").install()

setup(
    version=_version(),
    ext_modules=[
        Pybind11Extension(
            "shamsi._shamsi",
            _sources(),
            include_dirs=[_relative(os.path.join(LIBRARY, "shamsi", "include"))],
            cxx_std=20,
            # No debugging data (it would name the build folder); libstdc++
            # inside, its symbols hidden, so that the wheel needs only glibc.
            extra_compile_args=["-g0", f"-ffile-prefix-map={HERE}=/usr/src/shamsi"],
            extra_link_args=["-static-libstdc++", "-Wl,--exclude-libs,ALL", "-Wl,-s"],
        )
    ],
    cmdclass={"build_ext": build_ext, "sdist": ReproducibleSdist},
)
