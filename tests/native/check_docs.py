#!/usr/bin/env python3
"""Checks the documentation against the tree, without a build.

Links: every relative link in README.md, CONTRIBUTING.md and docs/*.md
names a file or folder that exists, and a link with #anchor names a
heading of its Markdown target (anchors as GitHub makes them).

The map: the section "Map of the code" of docs/architecture.md names, as
PATH/ with its full path from the top, every folder of sources that CMake
builds, and names no folder that does not exist. The folders CMake builds
are:
  - each folder with a CMakeLists.txt that add_subdirectory reaches from the
    top CMakeLists.txt, whatever condition it stands under (some tree, the
    win32, native, bench or fuzz one, builds it);
  - the folder of each source (.c, .cpp, .rc, .def) that those files, and
    the .cmake files they include from the tree, name, after
    ${CMAKE_SOURCE_DIR}, ${TPP_SOURCE_ROOT}, ${CMAKE_CURRENT_SOURCE_DIR} and
    ${CMAKE_CURRENT_LIST_DIR} are put in; a name still holding ${...} is
    made in the build tree and does not count, nor does a file that is not
    in the tree.

Usage: check_docs.py SOURCE_ROOT
Prints each broken link and each folder the map lacks or names wrongly;
exit status 1 if there is any.
"""
import os
import re
import sys
import urllib.parse

root = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "../.."))
problems = []


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def relative(path):
    return os.path.relpath(path, root)


# Markdown: what is prose, headings and links.

FENCE = re.compile(r"^ {0,3}(```|~~~)")


def prose_lines(text):
    """The lines outside fenced code blocks, with their numbers."""
    fenced = False
    for number, line in enumerate(text.splitlines(), 1):
        if FENCE.match(line):
            fenced = not fenced
            continue
        if not fenced:
            yield number, line


def anchor_of(heading, seen):
    """GitHub's anchor: the heading's text in lower case, without punctuation
    but hyphens and underscores, spaces made hyphens; a repeat gets -1, -2."""
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading)  # a link's text
    text = re.sub(r"[`*]", "", text).strip().lower()
    slug = re.sub(r"[^\w\- ]", "", text).replace(" ", "-")
    count = seen.get(slug, 0)
    seen[slug] = count + 1
    return slug if count == 0 else f"{slug}-{count}"


anchors_cache = {}


def anchors(path):
    if path not in anchors_cache:
        seen = {}
        anchors_cache[path] = {
            anchor_of(m.group(1), seen)
            for _, line in prose_lines(read(path))
            for m in [re.match(r"^ {0,3}#{1,6}\s+(.*?)\s*#*\s*$", line)]
            if m
        }
    return anchors_cache[path]


LINK = re.compile(r"!?\[(?:[^\]\\]|\\.)*\]\(\s*<?([^)\s>]*)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"^ {0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s|$)")


def check_links(page):
    for number, line in prose_lines(read(page)):
        line = re.sub(r"`[^`]*`", "", line)  # code spans hold no links
        targets = [m.group(1) for m in LINK.finditer(line)]
        targets += [m.group(1) for m in [REFERENCE.match(line)] if m]
        for target in targets:
            if not target or re.match(r"^[a-z][a-z0-9+.-]*:", target, re.I):
                continue  # a URL or mailto: is not ours to check
            path, _, anchor = target.partition("#")
            where = f"{relative(page)}:{number}: link {target}"
            file = os.path.normpath(os.path.join(os.path.dirname(page), urllib.parse.unquote(path))) if path else page
            if not os.path.exists(file):
                problems.append(f"{where}: no such file or folder {relative(file)}")
            elif anchor and file.endswith(".md") and urllib.parse.unquote(anchor) not in anchors(file):
                problems.append(f"{where}: {relative(file)} has no heading with the anchor #{anchor}")


pages = [os.path.join(root, name) for name in ("README.md", "CONTRIBUTING.md")]
docs = os.path.join(root, "docs")
pages += sorted(os.path.join(docs, name) for name in os.listdir(docs) if name.endswith(".md"))
for page in pages:
    if os.path.exists(page):
        check_links(page)
    else:
        problems.append(f"{relative(page)} is missing")


# CMake: the folders it builds.


def cmake_words(path, folder):
    text = re.sub(r"(^|\s)#.*", "", read(path))  # comments
    for name, value in (
        ("CMAKE_SOURCE_DIR", root),
        ("TPP_SOURCE_ROOT", root),
        ("CMAKE_CURRENT_SOURCE_DIR", folder),
        ("CMAKE_CURRENT_LIST_DIR", os.path.dirname(path)),
    ):
        text = text.replace("${" + name + "}", value)
    return text


def in_tree(path):
    return os.path.commonpath([root, path]) == root


built = set()


def walk_cmake(path, folder, visited):
    if path in visited:
        return
    visited.add(path)
    text = cmake_words(path, folder)
    for word in re.findall(r"[^\s()\"]+\.(?:c|cpp|rc|def)(?=[\s)\"])", text):
        if "${" in word or "$<" in word:
            continue
        source = os.path.normpath(os.path.join(folder, word))
        if in_tree(source) and os.path.isfile(source):
            built.add(os.path.dirname(source))
    for included in re.findall(r"\binclude\(\s*([^\s)]+\.cmake)", text):
        file = os.path.normpath(os.path.join(folder, included))
        if in_tree(file) and os.path.isfile(file):
            walk_cmake(file, folder, visited)
    for sub in re.findall(r"\badd_subdirectory\(\s*([^\s)]+)", text):
        if "${" in sub:
            continue
        sub = os.path.normpath(os.path.join(folder, sub))
        if in_tree(sub) and os.path.isfile(os.path.join(sub, "CMakeLists.txt")):
            built.add(sub)
            walk_cmake(os.path.join(sub, "CMakeLists.txt"), sub, visited)


walk_cmake(os.path.join(root, "CMakeLists.txt"), root, set())
built.discard(root)

architecture = os.path.join(docs, "architecture.md")
if os.path.exists(architecture):
    text = read(architecture)
    section = re.search(r"^## Map of the code\n(.*?)(?=^## |\Z)", text, re.S | re.M)
    if not section:
        problems.append("docs/architecture.md has no section \"## Map of the code\"")
    else:
        # A folder is named at the start of a line of the map, or in `code`.
        named = set(re.findall(r"^([\w.-]+(?:/[\w.-]+)*)/(?=\s)", section.group(1), re.M))
        named |= set(re.findall(r"`([\w.-]+(?:/[\w.-]+)*)/`", section.group(1)))
        for folder in sorted(relative(f) for f in built):
            if folder not in named:
                problems.append(f"docs/architecture.md: the map of the code lacks {folder}/, which CMake builds")
        for folder in sorted(named):
            if not os.path.isdir(os.path.join(root, folder)):
                problems.append(f"docs/architecture.md: the map of the code names {folder}/, which does not exist")

for problem in problems:
    print(problem)
if problems:
    sys.exit(1)
print(f"docs: {len(pages)} pages' links resolve; the map names the {len(built)} folders CMake builds")
