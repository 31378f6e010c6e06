#!/usr/bin/env python3
"""Turns the text table (texts.tsv) into constant C++ tables.

texts.tsv is UTF-8, one row per text id in id order after a header row:
    key <TAB> English <TAB> French <TAB> German <TAB> Italian <TAB> Spanish
Lines starting with "#" are comments. A reserved id has the key "-" and empty texts.
Inside a text, "\\uXXXX" writes the UTF-16 unit XXXX and "\\\\" a backslash; every other
character stands for itself (a no-break space may be written as itself).

Usage:
    make_text_tables.py texts.tsv --tables out.cpp    the tables, the key registration
    make_text_tables.py texts.tsv --header TextId.h   the TextId enumeration
"""

import re
import sys

TEXT_COUNT = 827
LANGUAGES = ["English", "French", "German", "Italian", "Spanish"]
MAX_LENGTH = 264
PLACEHOLDER = re.compile(r"%[-+#0]*[0-9]*(?:\.[0-9]+)?(?:hs|ls|lld|I64d|lf|lu|lx|l|h)?[sdufxcS]")
KEY = re.compile(r"^[A-Z][A-Z0-9_]{0,23}$")


def fail(message):
    sys.stderr.write("texts.tsv: " + message + "\n")
    sys.exit(1)


def unescape(text, where):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            if text.startswith("\\\\", i):
                out.append("\\")
                i += 2
                continue
            m = re.match(r"\\u([0-9A-Fa-f]{4})", text[i:])
            if not m:
                fail(f"{where}: bad escape")
            out.append(chr(int(m.group(1), 16)))
            i += 6
            continue
        out.append(c)
        i += 1
    return "".join(out)


def read_table(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        lines = f.read().replace("\r\n", "\n").split("\n")
    header = None
    for number, line in enumerate(lines, 1):
        if not line or line.startswith("#"):
            continue
        cells = line.split("\t")
        if header is None:
            header = cells
            if cells != ["key", "en", "fr", "de", "it", "es"]:
                fail(f"line {number}: header must be key, en, fr, de, it, es")
            continue
        if len(cells) != 6:
            fail(f"line {number}: {len(cells)} cells instead of 6")
        key = cells[0]
        texts = [unescape(t, f"line {number}") for t in cells[1:]]
        if key != "-" and not KEY.match(key):
            fail(f"line {number}: bad key '{key}'")
        rows.append((key, texts, number))
    if len(rows) != TEXT_COUNT:
        fail(f"{len(rows)} rows instead of {TEXT_COUNT}")
    keys = [r[0] for r in rows if r[0] != "-"]
    if len(set(keys)) != len(keys):
        fail("duplicate keys")
    for key, texts, number in rows:
        if key == "-" and any(texts):
            fail(f"line {number}: a reserved id keeps empty texts")
        for language, text in zip(LANGUAGES, texts):
            if len(text) > MAX_LENGTH:
                fail(f"line {number} ({key}, {language}): longer than {MAX_LENGTH} characters")
            try:
                text.encode("cp1252")
            except UnicodeEncodeError:
                fail(f"line {number} ({key}, {language}): not in code page 1252")
        # Texts without placeholders (TIP12 with its "70%") are never used as formats.
        english = PLACEHOLDER.findall(texts[0])
        for language, text in zip(LANGUAGES[1:], texts[1:]):
            if PLACEHOLDER.findall(text) != english:
                fail(f"line {number} ({key}, {language}): placeholders differ from English")
    return rows


def cpp_literal(text):
    out = ['u"']
    for c in text:
        code = ord(c)
        if c == '"':
            out.append('\\"')
        elif c == "\\":
            out.append("\\\\")
        elif code < 0x20 or code == 0x7F:
            out.append("\\%03o" % code)
        elif code < 0x7F:
            out.append(c)
        else:
            out.append("\\u%04X" % code)
    out.append('"')
    return "".join(out)


def enumerator(key, text_id):
    return "NULL_TEXT" if key == "NULL" else key


def write_header(rows, path):
    lines = [
        "#pragma once",
        "// Text ids: every user-visible text is named by one. Generated from texts.tsv by",
        "// make_text_tables.py --header; edit the table, then run the script again.",
        "",
        "#include <cstdint>",
        "",
        "// Number of text ids, 0 to 826. Ids without an enumerator are reserved: they hold an",
        "// empty text in every language and no key.",
        "constexpr int32_t TEXT_COUNT = %d;" % TEXT_COUNT,
        "",
        "// The key \"NULL\" (id 0) is named NULL_TEXT in code.",
        "enum TextId : int32_t {",
    ]
    for text_id, (key, _, _) in enumerate(rows):
        if key != "-":
            lines.append("    %s = %d," % (enumerator(key, text_id), text_id))
    lines.append("};")
    lines.append("")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def write_tables(rows, path):
    lines = [
        "// Generated from texts.tsv by make_text_tables.py: do not edit.",
        '#include "language/Language.h"',
        "",
    ]
    for text_id, (key, _, _) in enumerate(rows):
        if key != "-":
            lines.append("static_assert(%s == %d);" % (enumerator(key, text_id), text_id))
    lines.append("")
    lines.append("namespace {")
    for index, language in enumerate(LANGUAGES):
        lines.append("const char16_t* const %sTexts[TEXT_COUNT] = {" % language.lower())
        for key, texts, _ in rows:
            lines.append("    %s,  // %s" % (cpp_literal(texts[index]), key))
        lines.append("};")
    lines.append("void fill(const char16_t** row, const char16_t* const* table) {")
    lines.append("    for (int32_t id = 0; id < TEXT_COUNT; ++id) row[id] = table[id];")
    lines.append("}")
    lines.append("}  // namespace")
    lines.append("")
    lines.append("void Language::registerTextKeys() {")
    for text_id, (key, _, _) in enumerate(rows):
        if key != "-":
            lines.append('    registerTextKey(u"%s", %s);' % (key, enumerator(key, text_id)))
    lines.append("}")
    for index, language in enumerate(LANGUAGES):
        lines.append("")
        lines.append("void Language::init%s() { fill(texts[%d], %sTexts); }" % (language, index, language.lower()))
    lines.append("")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def main(argv):
    if len(argv) != 4 or argv[2] not in ("--tables", "--header"):
        sys.stderr.write(__doc__)
        return 2
    rows = read_table(argv[1])
    if argv[2] == "--header":
        write_header(rows, argv[3])
    else:
        write_tables(rows, argv[3])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
