"""A reference evaluator of keyword search expressions, written from the rules alone.

The text is first cut into tokens (the only context is the token before), then parsed with one
token of look-ahead; parentheses are counted over the tokens that the parser has looked at.
AND and EXCEPT bind tighter than OR, chains run left to right, a missing operand is an error,
an expression with no operand at all selects nothing.
"""
OR, AND, EXCEPT, KEYWORD, OPEN, CLOSE, END = 'OR', 'AND', 'EXCEPT', 'KW', '(', ')', 'END'
BLANKS = ' \t\n\v\f\r'
MAX_NESTING = 256


class SyntaxError_(Exception):
    pass


def tokens(text):
    out, i, previous = [], 0, None
    while True:
        while i < len(text) and text[i] in BLANKS:
            i += 1
        if i == len(text):
            out.append((END, None))
            return out
        c = text[i]
        if c == '(' and previous == KEYWORD:
            token = (OR, None)                 # the "(" is read again next time
        elif c in '(),+~':
            token = ({'(': OPEN, ')': CLOSE, ',': AND, '+': OR, '~': EXCEPT}[c], None)
            i += 1
        else:
            if c == '"':
                close = text.find('"', i + 1)
                word = text[i + 1:] if close < 0 else text[i + 1:close]
                i = len(text) if close < 0 else close + 1
            else:
                j = i
                while j < len(text) and text[j] not in BLANKS + '(),~+':
                    j += 1
                word, i = text[i:j], j
            upper = word.upper()
            if upper in ('AND', 'OR', 'EXCEPT', 'NOT'):
                token = ({'AND': AND, 'OR': OR}.get(upper, EXCEPT), None)
            elif previous == KEYWORD:
                out.append((OR, None))
                token = (KEYWORD, word)
            else:
                token = (KEYWORD, word)
        out.append(token)
        previous = token[0]


def union(a, b):
    seen = set(a)
    return list(a) + [x for x in b if x not in seen]


def intersection(a, b):
    keep = set(b)
    return [x for x in a if x in keep]


def difference(a, b):
    drop = set(b)
    return [x for x in a if x not in drop]


def evaluate(text, find):
    """The ids selected by the text, or None for a malformed text. find(keyword) -> ids."""
    toks = tokens(text)
    state = {'i': 0, 'nesting': 0}

    def current():
        return toks[state['i']]

    def advance():
        state['i'] += 1

    def factor():
        kind, word = current()
        if kind == KEYWORD:
            advance()
            return list(find(word))
        if kind != OPEN:
            raise SyntaxError_()
        state['nesting'] += 1
        if state['nesting'] > MAX_NESTING:
            raise SyntaxError_()
        advance()
        ids = expression()
        if current()[0] != CLOSE:
            raise SyntaxError_()
        state['nesting'] -= 1
        advance()
        return ids

    def term():
        ids = factor()
        while current()[0] in (AND, EXCEPT):
            op = current()[0]
            advance()
            right = factor()
            ids = intersection(ids, right) if op == AND else difference(ids, right)
        return ids

    def expression():
        ids = term()
        while current()[0] == OR:
            advance()
            ids = union(ids, term())
        return ids

    if toks[0][0] == END:
        return []
    try:
        ids = expression()
    except SyntaxError_:
        return None
    looked_at = toks[:state['i'] + 1]
    depth = sum(1 for k, _ in looked_at if k == OPEN) - sum(1 for k, _ in looked_at if k == CLOSE)
    return ids if depth == 0 else None


# The cases that the tests run, with what each shows.
CASES = [
    'cat dog', 'cat + dog', 'cat OR dog', 'cat or Dog', 'cat+dog', 'cat\tdog', 'cat\ndog',
    'bird (cat, dog)', 'bird(cat,dog)', '(cat) dog', '( cat ) dog )',
    'cat ~ dog', 'cat EXCEPT dog', 'cat except dog', 'cat NOT dog', 'cat~dog',
    'cat EXCEPT nothing', 'cat AND nothing', 'nothing AND cat', 'nothing EXCEPT cat',
    '"black cat"', 'black cat', '"black cat', 'cat "and" dog', '"and"', 'cat "OR" dog',
    '((cat)', 'cat)', ')', '(', '()', '', '   ', 'cat AND', 'cat +', '+ cat', 'cat,,dog', 'NOT cat',
    'tree ~ cat ~ tree', 'tree ~ (cat ~ tree)', 'cat , dog ~ cat', 'cat ~ dog , cat',
    'tree tree', 'nothing tree', 'tree, tree', 'tree, sea', 'sea + cat + dog', 'cat dog bird sea',
    'cat (dog', 'CAT', 'ca"t', '((((((cat))))))', '(' * 300 + 'cat' + ')' * 300,
    'cat (dog) bird', 'cat ~ ( dog + bird ) , cat',
]
