#!/usr/bin/env python3
"""Records the themes folder as install_path in the user's Vistaloom settings file, as an
installer does. Every other line of the file is kept as it is."""
import os
import sys
import tempfile


def settings_file():
    base = os.environ.get("XDG_CONFIG_HOME") or os.path.join(os.path.expanduser("~"), ".config")
    return os.path.join(base, "Brindle Vistaloom.conf")


def ini_text(value):
    """Quotes a value the way Qt's INI reader expects, so commas, quotes, semicolons and
    backslashes in a folder name come back unchanged."""
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def with_install_path(lines, folder):
    out, in_config, done, saw_config = [], False, False, False
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            if in_config and not done:
                out.append(f"install_path={folder}\n")
                done = True
            in_config = stripped == "[Config]"
            saw_config = saw_config or in_config
        elif in_config and stripped.split("=", 1)[0].strip() == "install_path":
            if not done:
                out.append(f"install_path={folder}\n")
                done = True
            continue
        out.append(line if line.endswith("\n") else line + "\n")
    if not done:
        if not saw_config:
            if out and out[-1].strip():
                out.append("\n")
            out.append("[Config]\n")
        out.append(f"install_path={folder}\n")
    return out


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: set-install-path.py THEMES_FOLDER")
    folder = ini_text(sys.argv[1])
    path = settings_file()
    os.makedirs(os.path.dirname(path), exist_ok=True)
    lines = []
    if os.path.exists(path):
        with open(path, encoding="utf-8", errors="surrogateescape") as f:
            lines = f.readlines()
    fd, tmp = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".vistaloom-")
    with os.fdopen(fd, "w", encoding="utf-8", errors="surrogateescape") as f:
        f.writelines(with_install_path(lines, folder))
    os.replace(tmp, path)


if __name__ == "__main__":
    main()
