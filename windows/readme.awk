# Turns the players' part of README.md (the lines between "<!-- players -->" and
# "<!-- /players -->" markers) into the plain-text README.txt of the Windows zip: headings
# underlined, paragraphs and list items wrapped at 78 columns, each table row as its first cell
# followed by the others under their column names, with Windows line ends.
#
#   awk -v version=1.0.0 -v out=README.txt -f readme.awk README.md

BEGIN { width = 78; eol = "\r\n" }

/^<!-- \/players -->/ { flush(); inside = 0; next }
/^<!-- players -->/ { inside = 1; next }
!inside { next }

/^```/ { flush(); code = !code; next }
code { emit("    " $0); next }

/^#+ / {
    flush()
    level = index($0, " ") - 1
    title = plain(substr($0, level + 2))
    if (level == 1 && version != "")
        title = title " " version
    underline = title
    gsub(/./, level == 1 ? "=" : "-", underline)
    blank(); emit(title); emit(underline); blank()
    next
}

/^\|/ {
    if (!table) {
        flush()
        columns = cells($0, header)
        table = 1
    } else if ($0 !~ /^\|[-| :]*\|$/) {
        cells($0, row)
        blank()
        wrap(row[1], "", "")
        for (i = 2; i <= columns; i++)
            wrap(header[i] ": " row[i], "    ", "        ")
    }
    next
}

/^[-*] / { flush(); para = substr($0, 3); bullet = 1; next }

/^[[:space:]]*$/ { flush(); blank(); next }

{ para = para == "" ? $0 : para " " $0 }

END {
    flush()
    if (!lines) {
        print "readme.awk: no players' part in the input" > "/dev/stderr"
        exit 1
    }
}

# Markdown's inline marks dropped, links reduced to their text, <version> filled in; ASCII only,
# which every Windows editor reads alike.
function plain(s) {
    gsub(/×/, "x", s)
    gsub(/©/, "(c)", s)
    gsub(/—/, "-", s)
    if (version != "")
        gsub(/<version>/, version, s)
    gsub(/\*\*/, "", s)
    gsub(/`/, "", s)
    while (match(s, /\[[^]]*\]\([^)]*\)/)) {
        link = substr(s, RSTART + 1, RLENGTH - 2)
        s = substr(s, 1, RSTART - 1) substr(link, 1, index(link, "](") - 1) \
            substr(s, RSTART + RLENGTH)
    }
    return s
}

# Splits a table row into a[1..n], trimmed and plain; returns n.
function cells(line, a,    n, i, parts) {
    n = split(substr(line, 2, length(line) - 2), parts, "|")
    for (i = 1; i <= n; i++) {
        a[i] = parts[i]
        gsub(/^ +| +$/, "", a[i])
        a[i] = plain(a[i])
    }
    return n
}

function flush() {
    if (para != "")
        wrap(plain(para), bullet ? "  - " : "", bullet ? "    " : "")
    para = ""; bullet = 0; table = 0
}

# Words of s filled into lines of at most `width` columns: the first line starts with first,
# the others with rest.
function wrap(s, first, rest,    n, i, words, line, used) {
    n = split(s, words, " ")
    line = first
    used = 0
    for (i = 1; i <= n; i++) {
        if (used && length(line) + 1 + length(words[i]) > width) {
            emit(line)
            line = rest
            used = 0
        }
        line = used ? line " " words[i] : line words[i]
        used = 1
    }
    emit(line)
}

# One line out; runs of blank lines are kept to one, and none comes first.
function emit(s) { printf "%s%s", s, eol > out; lines++; blanks = 0 }
function blank() { if (lines && !blanks) { printf "%s", eol > out; blanks = 1 } }
