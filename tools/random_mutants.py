"""Mechanical mutants that nobody chose: the sites of classic operators in the product's sources.

Every site is one edit of one line: a comparison flipped or loosened, && and || swapped, a condition
negated, a constant changed by one, true and false swapped, a call statement or a return value
dropped, an argument replaced by its neighbour, a string literal emptied. The sites are listed in a
fixed order (files sorted, lines in order), so a seed always draws the same sample from the same
sources.
"""
import re
from dataclasses import dataclass
from pathlib import Path

PRODUCT_FOLDERS = ("base", "filetime", "exif", "rename", "panes", "app", "resources")
SOURCE_SUFFIXES = (".cpp", ".h", ".rc")

COMPARISONS = {"==": "!=", "!=": "==", "<": "<=", "<=": "<", ">": ">=", ">=": ">"}
CALL_KEYWORDS = {"return", "if", "while", "for", "switch", "case", "delete", "throw", "else",
                 "sizeof", "do", "new", "using", "typedef", "static_assert", "decltype", "alignof"}
TRIVIAL_RETURNS = {"{}", "0", "false", "nullptr", "FALSE", "0u"}
PARAMETER = re.compile(r"(const\s+)?[A-Za-z_][\w:<>,]*(\s+|\s*[*&]+\s*)[A-Za-z_]\w*(\s*=.*)?")


@dataclass(frozen=True)
class Site:
    path: str
    line: int  # 1-based
    start: int
    end: int
    replacement: str
    operator: str

    def apply(self, text):
        lines = text.split("\n")
        source = lines[self.line - 1]
        lines[self.line - 1] = source[: self.start] + self.replacement + source[self.end :]
        return "\n".join(lines)

    def describe(self, text):
        source = text.split("\n")[self.line - 1]
        mutated = source[: self.start] + self.replacement + source[self.end :]
        return f"{self.path}:{self.line}: [{self.operator}] {source.strip()}  =>  {mutated.strip()}"


def code_mask(line, in_block_comment):
    """Marks each character: 'c' code, 's' inside a string or character literal (quotes
    included), ' ' comment. Returns the mask and whether a block comment runs on."""
    mask = []
    i = 0
    while i < len(line):
        if in_block_comment:
            end = line.find("*/", i)
            stop = len(line) if end < 0 else end + 2
            mask.extend(" " * (stop - i))
            in_block_comment = end < 0
            i = stop
        elif line.startswith("//", i):
            mask.extend(" " * (len(line) - i))
            break
        elif line.startswith("/*", i):
            in_block_comment = True
        elif line[i] in "\"'":
            quote = line[i]
            j = i + 1
            while j < len(line) and line[j] != quote:
                j += 2 if line[j] == "\\" else 1
            stop = min(j + 1, len(line))
            mask.extend("s" * (stop - i))
            i = stop
        else:
            mask.append("c")
            i += 1
    return "".join(mask), in_block_comment


def literal_spans(mask):
    """(start, end) of each string or character literal, quotes included."""
    return [m.span() for m in re.finditer(r"s+", mask)]


def is_code(mask, start, end):
    return all(c == "c" for c in mask[start:end])


def matching_paren(line, mask, open_at):
    depth = 0
    for i in range(open_at, len(line)):
        if mask[i] != "c":
            continue
        if line[i] == "(":
            depth += 1
        elif line[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def top_level_arguments(line, mask, open_at, close_at):
    """(start, end) of each argument between the parentheses, split at top-level commas."""
    arguments, depth, start = [], 0, open_at + 1
    for i in range(open_at + 1, close_at):
        if mask[i] != "c":
            continue
        if line[i] in "([{":
            depth += 1
        elif line[i] in ")]}":
            depth -= 1
        elif line[i] == "," and depth == 0:
            arguments.append((start, i))
            start = i + 1
    arguments.append((start, close_at))
    return [(s + len(line[s:e]) - len(line[s:e].lstrip()), e - (len(line[s:e]) - len(line[s:e].rstrip())))
            for s, e in arguments]


def sites_in_line(path, number, line, mask, rc):
    found = []

    def add(start, end, replacement, operator):
        if line[start:end] != replacement:
            found.append(Site(path, number, start, end, replacement, operator))

    for start, end in literal_spans(mask):
        if line[start] == '"' and end - start > 2:
            add(start + 1, end - 1, "", "string emptied")
    for match in re.finditer(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.])", line):
        if not is_code(mask, match.start(), match.end()):
            continue
        digits, suffix = match.group(1), match.group(2)
        value = int(digits, 16 if digits[:2].lower() == "0x" else 10)
        shown = (lambda v: hex(v).upper().replace("0X", "0x")) if digits[:2].lower() == "0x" else str
        add(match.start(), match.end(), shown(value + 1) + suffix, "constant + 1")
        if value > 0:
            add(match.start(), match.end(), shown(value - 1) + suffix, "constant - 1")
    if rc:
        return found
    for match in re.finditer(r" (==|!=|<=|>=|<|>) ", line):
        if is_code(mask, match.start(), match.end()):
            add(match.start(1), match.end(1), COMPARISONS[match.group(1)], "comparison")
    for match in re.finditer(r" (&&|\|\|) ", line):
        if is_code(mask, match.start(), match.end()):
            add(match.start(1), match.end(1), "||" if match.group(1) == "&&" else "&&", "logic")
    for match in re.finditer(r"\b(true|false|TRUE|FALSE)\b", line):
        if is_code(mask, match.start(), match.end()):
            swapped = {"true": "false", "false": "true", "TRUE": "FALSE", "FALSE": "TRUE"}
            add(match.start(), match.end(), swapped[match.group(1)], "boolean")
    for match in re.finditer(r"\b(if|while) \(", line):
        if not is_code(mask, match.start(), match.end()):
            continue
        close = matching_paren(line, mask, match.end() - 1)
        if close > 0:
            condition = line[match.end() : close]
            add(match.end(), close, f"!({condition})", "negated")
    stripped = line.strip()
    indent = len(line) - len(line.lstrip())
    returned = re.fullmatch(r"return (.+);", stripped)
    if returned and is_code(mask, indent, indent + 6) and returned.group(1) not in TRIVIAL_RETURNS:
        add(indent, len(line.rstrip()), "return {};", "return dropped")
    call = re.fullmatch(r"([A-Za-z_][\w]*(?:(?:::|\.|->)[A-Za-z_]\w*)*)\s*\((.*)\);", stripped)
    if call and call.group(1).split("::")[0] not in CALL_KEYWORDS and is_code(mask, indent, indent + 1):
        open_at = indent + len(call.group(1))
        if matching_paren(line, mask, line.index("(", open_at)) == len(line.rstrip()) - 2:
            add(indent, len(line.rstrip()), "{}", "call dropped")
    for match in re.finditer(r"\b([A-Za-z_]\w*)\(", line):
        name = match.group(1)
        if name in CALL_KEYWORDS or not is_code(mask, match.start(), match.end()):
            continue
        close = matching_paren(line, mask, match.end() - 1)
        if close < 0 or line.rstrip().endswith("{"):
            continue
        arguments = top_level_arguments(line, mask, match.end() - 1, close)
        # A parameter list ("const wchar_t* path, DWORD* error") declares; it passes nothing.
        if len(arguments) < 2 or any(PARAMETER.fullmatch(line[a:b]) for a, b in arguments):
            continue
        for i, (start, end) in enumerate(arguments):
            neighbour = arguments[i + 1] if i + 1 < len(arguments) else arguments[i - 1]
            text = line[neighbour[0] : neighbour[1]]
            if start < end and text:
                add(start, end, text, "argument")
    return found


def product_sources(root):
    for folder in PRODUCT_FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix in SOURCE_SUFFIXES and path.is_file():
                yield path


def all_sites(root):
    sites = []
    for path in product_sources(root):
        relative = path.relative_to(root).as_posix()
        in_block = False
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").split("\n"), 1):
            mask, in_block = code_mask(line, in_block)
            if line.lstrip().startswith("#") or not line.strip():
                continue
            sites.extend(sites_in_line(relative, number, line, mask, path.suffix == ".rc"))
    return sites
