#!/usr/bin/env python3
"""Makes the HTML user guide from the README's guide sections.

    make_guide.py README.md OUTPUT.html "HEADING=LANG" ...

Each HEADING names a level-2 section of the README ("使い方（日本語）=ja");
the guide holds the pictures the README shows before the first of them, then
each section in its language. Image paths stay relative to the README, so the
guide works where it lies beside the README and its pictures. Only the
Markdown the README uses is understood: headings, paragraphs, lists with
indented continuation lines, fenced code, inline code, images and links.
Standard library only.
"""

import html
import os
import re
import sys

IMAGE = re.compile(r"!\[([^\]]*)\]\(([^)\s]+)\)")
LINK = re.compile(r"\[([^\]]+)\]\(([^)\s]+)\)")
CODE = re.compile(r"`([^`]+)`")
BULLET = re.compile(r"^(\s*)- (.*)$")
NUMBERED = re.compile(r"^(\s*)(\d+)\. (.*)$")

STYLE = """
body { font-family: sans-serif; line-height: 1.6; max-width: 52em; margin: 2em auto; padding: 0 1em; }
code, pre { font-family: monospace; background: #f3f3f3; }
pre { padding: 0.5em; overflow-x: auto; }
figure { margin: 1em 0; }
figure img { max-width: 100%; border: 1px solid #ccc; }
nav a { margin-right: 1.5em; }
"""


def inline(text):
    """Escapes a line of text and marks up its code spans, links and images."""
    out, last = [], 0
    for match in CODE.finditer(text):
        out.append(inline_plain(text[last:match.start()]))
        out.append("<code>" + html.escape(match.group(1)) + "</code>")
        last = match.end()
    out.append(inline_plain(text[last:]))
    return "".join(out)


def inline_plain(text):
    text = html.escape(text, quote=False)
    text = IMAGE.sub(lambda m: '<img src="%s" alt="%s">' % (html.escape(m.group(2)), m.group(1)), text)
    return LINK.sub(lambda m: '<a href="%s">%s</a>' % (html.escape(m.group(2)), m.group(1)), text)


def sections(lines):
    """The README's level-2 sections by heading, and the lines before the first one."""
    found, preamble, current = {}, [], None
    for line in lines:
        if line.startswith("## "):
            current = line[3:].strip()
            found[current] = []
        elif current is None:
            preamble.append(line)
        else:
            found[current].append(line)
    return preamble, found


def blocks(lines):
    """Splits Markdown lines into (kind, lines) blocks: code, list, heading, para."""
    result, i = [], 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
        elif line.startswith("```"):
            end = i + 1
            while end < len(lines) and not lines[end].startswith("```"):
                end += 1
            result.append(("code", lines[i + 1:end]))
            i = end + 1
        elif line.startswith("#"):
            result.append(("heading", [line]))
            i += 1
        else:
            kind = "list" if BULLET.match(line) or NUMBERED.match(line) else "para"
            end = i + 1
            while end < len(lines) and lines[end].strip() and not lines[end].startswith(("#", "```")):
                if kind == "para" and (BULLET.match(lines[end]) or NUMBERED.match(lines[end])):
                    break
                end += 1
            result.append((kind, lines[i:end]))
            i = end
    return result


def join(pieces):
    """Joins wrapped lines: a space between words, none between Japanese characters."""
    text = ""
    for piece in pieces:
        piece = piece.strip()
        if text and not (ord(text[-1]) > 0x2E7F and ord(piece[0]) > 0x2E7F):
            text += " "
        text += piece
    return text


def list_html(lines):
    """A list whose items may run on over indented lines and hold a list of their own."""
    def start(line):
        return NUMBERED.match(line) or BULLET.match(line)

    base = len(start(lines[0]).group(1))
    items = []  # (the item's own lines, the lines of the list it holds)
    for line in lines:
        item = start(line)
        if item and len(item.group(1)) == base:
            items.append(([item.groups()[-1]], []))
        elif (item and len(item.group(1)) > base) or items[-1][1]:
            items[-1][1].append(line)
        else:
            items[-1][0].append(line)
    tag = "ol" if NUMBERED.match(lines[0]) else "ul"
    body = "\n".join("<li>%s%s</li>" % (inline(join(own)), "\n" + list_html(inner) if inner else "")
                     for own, inner in items)
    return "<%s>\n%s\n</%s>" % (tag, body, tag)


def block_html(kind, lines):
    if kind == "code":
        return "<pre><code>%s</code></pre>" % html.escape("\n".join(lines))
    if kind == "heading":
        level = len(lines[0]) - len(lines[0].lstrip("#"))
        return "<h%d>%s</h%d>" % (level, inline(lines[0].lstrip("#").strip()), level)
    if kind == "list":
        return list_html(lines)
    return "<p>%s</p>" % inline(join(lines))


def pictures(preamble, base):
    """The README's pictures as figures; a picture that is not there stops the build."""
    figures = []
    for alt, path in IMAGE.findall("\n".join(preamble)):
        if not os.path.isfile(os.path.join(base, path)):
            sys.exit("make_guide: the README shows %s, which does not exist" % path)
        figures.append('<figure><img src="%s" alt="%s"><figcaption>%s</figcaption></figure>'
                       % (html.escape(path), html.escape(alt), html.escape(alt)))
    return figures


def guide(readme, wanted):
    with open(readme, encoding="utf-8") as handle:
        preamble, found = sections(handle.read().splitlines())
    parts, links = [], []
    for heading, lang in wanted:
        if heading not in found:
            sys.exit("make_guide: the README has no section \"## %s\"" % heading)
        links.append('<a href="#%s">%s</a>' % (lang, html.escape(heading)))
        body = "\n".join(block_html(kind, lines) for kind, lines in blocks(found[heading]))
        parts.append('<section id="%s" lang="%s">\n<h2>%s</h2>\n%s\n</section>'
                     % (lang, lang, html.escape(heading), body))
    figures = pictures(preamble, os.path.dirname(os.path.abspath(readme)))
    return """<!DOCTYPE html>
<html lang="%s">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Quillary</title>
<style>%s</style>
</head>
<body>
<h1>Quillary</h1>
<nav>%s</nav>
%s
%s
</body>
</html>
""" % (wanted[0][1], STYLE, "".join(links), "\n".join(figures), "\n".join(parts))


def main(argv):
    if len(argv) < 4:
        sys.exit("usage: make_guide.py README.md OUTPUT.html \"HEADING=LANG\"...")
    wanted = [tuple(arg.rsplit("=", 1)) for arg in argv[3:]]
    text = guide(argv[1], wanted)
    with open(argv[2], "w", encoding="utf-8") as handle:
        handle.write(text)


if __name__ == "__main__":
    main(sys.argv)
