#!/usr/bin/env python3
"""Checks that the core's folders depend on each other one way only and that the core
includes nothing but the standard library, TurboJPEG and its own headers.

Usage: check_layers.py SRC_DIR LAYER... (bottom to top)
Prints the include arrows between core folders; exits 1 with one line per violation."""
import os
import re
import sys

# Headers of the C++ standard library (and the C headers it carries), which the core may use.
STANDARD = set("""
algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv
chrono cinttypes climits clocale cmath codecvt compare complex concepts condition_variable
coroutine csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar
cwctype deque exception execution expected filesystem format forward_list fstream functional
future initializer_list iomanip ios iosfwd iostream istream iterator latch limits list locale
map memory memory_resource mutex new numbers numeric optional ostream queue random ranges ratio
regex scoped_allocator semaphore set shared_mutex source_location span sstream stack stdexcept
stop_token streambuf string string_view syncstream system_error thread tuple type_traits
typeindex typeinfo unordered_map unordered_set utility valarray variant vector version
""".split())
ALLOWED_OTHER = {"turbojpeg.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
ENVIRONMENT = re.compile(r'\b(getenv|setenv|secure_getenv|environ)\b')


def main():
    src, layers = sys.argv[1], sys.argv[2:]
    rank = {name: i for i, name in enumerate(layers)}
    arrows = {}
    problems = []
    for layer in layers:
        folder = os.path.join(src, layer)
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(layer, name)
            text = open(os.path.join(folder, name), encoding="utf-8").read()
            if ENVIRONMENT.search(re.sub(r"//.*", "", text)):
                problems.append(f"{path}: reads the environment; ask an interface instead")
            for kind, header in INCLUDE.findall(text):
                if kind == "<":
                    if header not in STANDARD and header not in ALLOWED_OTHER:
                        problems.append(f"{path}: includes <{header}>, not allowed in the core")
                    continue
                target = header.split("/")[0] if "/" in header else layer
                if target not in rank:
                    problems.append(f"{path}: includes \"{header}\" from outside the core")
                    continue
                if target != layer:
                    arrows.setdefault((layer, target), 0)
                    arrows[(layer, target)] += 1
                if rank[target] > rank[layer]:
                    problems.append(f"{path}: includes \"{header}\" from {target}, a layer above")
    for (source, target), count in sorted(arrows.items(), key=lambda a: (rank[a[0][0]], rank[a[0][1]])):
        print(f"{source} -> {target} ({count})")
    for problem in problems:
        print("LAYER FAULT:", problem)
    return 1 if problems else 0


def self_test():
    """The checker must itself catch each kind of fault, or a passing run proves nothing."""
    import tempfile
    cases = {
        "upward": ("low/a.h", '#include "high/b.h"\n'),
        "foreign header": ("low/a.cpp", "#include <QWidget>\n"),
        "system header": ("high/b.cpp", "#include <unistd.h>\n"),
        "environment": ("high/b.cpp", 'const char* v = std::getenv("HOME");\n'),
        "outside folder": ("high/b.cpp", '#include "platform/x.h"\n'),
    }
    failures = 0
    for label, (name, text) in cases.items():
        with tempfile.TemporaryDirectory() as root:
            for folder in ("low", "high"):
                os.makedirs(os.path.join(root, folder))
            with open(os.path.join(root, "high", "ok.h"), "w") as f:
                f.write('#include <vector>\n#include "low/a.h"\n')
            with open(os.path.join(root, name), "w") as f:
                f.write(text)
            sys.argv = ["check", root, "low", "high"]
            if main() != 1:
                print(f"SELF-TEST: the {label} case was not caught")
                failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    if sys.argv[1:2] == ["--self-test"]:
        sys.exit(self_test())
    sys.exit(main())
