#!/usr/bin/env python3
"""Each folder is one library that includes only what it links: checks every #include "folder/..." of the
libraries' and programs' sources against the libraries their CMakeLists.txt link (directly, or publicly through
those). Prints each include that breaks the rule; exit code 1 when there is one."""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent
folders = ["engine", "settings", "merge", "stock", "render", "texts", "cli", "ui", "app"]
link = re.compile(r"target_link_libraries\(\s*(\S+)(.*?)\)", re.S)

# target -> list of (dependency, public?)
deps = {}
for folder in folders:
    cmake = (root / folder / "CMakeLists.txt").read_text()
    for target, body in link.findall(cmake):
        visibility = "PUBLIC"
        for word in body.split():
            if word in ("PUBLIC", "PRIVATE", "INTERFACE"):
                visibility = word
            elif word.startswith("cardmill::"):
                deps.setdefault(target, []).append((word.split("::")[1], visibility != "PRIVATE"))


def target_of(name):
    return "cardmill_" + name if ("cardmill_" + name) in deps else name


def visible(target, seen=None):
    """The folders a target may include: its own links, and what they link publicly."""
    seen = seen if seen is not None else set()
    out = set()
    for dep, _ in deps.get(target, []):
        if dep in seen:
            continue
        seen.add(dep)
        out.add(dep)
        out |= public_closure(target_of(dep), seen)
    return out


def public_closure(target, seen):
    out = set()
    for dep, public in deps.get(target, []):
        if public and dep not in seen:
            seen.add(dep)
            out.add(dep)
            out |= public_closure(target_of(dep), seen)
    return out


include = re.compile(r'^\s*#\s*include\s+"([a-z]+)/', re.M)
problems = []
for folder in folders:
    if folder == "app":
        allowed = {"app"}
        for exe in ("cardmill", "cardmill-convert"):
            allowed |= visible(exe)
    else:
        allowed = {folder} | visible("cardmill_" + folder)
    for source in sorted((root / folder).glob("*.[ch]*")):
        for used in include.findall(source.read_text(errors="replace")):
            if used in folders and used not in allowed:
                problems.append(f"{source.relative_to(root)}: includes {used}/, which {folder} does not link")
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
