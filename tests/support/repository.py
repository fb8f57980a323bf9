"""Where things are in the repository, for Python tests: its root, found from this file's own place,
and the soundtrack's file, named once in assets/soundtrack_file.h (as tests/support/shell/repository.sh
tells shell tests).

    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
    import repository
    os.path.join(repository.repository_root(), "data", repository.soundtrack_file())
"""
import os
import re


def repository_root():
    return os.path.realpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


def soundtrack_file():
    home = os.path.join(repository_root(), "assets", "soundtrack_file.h")
    with open(home) as f:
        found = re.search(r'^#define VL_SOUNDTRACK_FILE "(.+)"$', f.read(), re.MULTILINE)
    if not found:
        raise RuntimeError("no VL_SOUNDTRACK_FILE in " + home)
    return found.group(1)
