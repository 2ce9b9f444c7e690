"""Request token sent as ``tk`` with every install request.

The setup program computes the token over the e-mail address exactly as it
puts it on the wire (Windows ANSI bytes, before percent-encoding) and the
download service recomputes it to refuse forged or garbled requests. Both
sides must agree byte for byte, so this module mirrors the C++ routine.

The token is seven hex-looking characters ("cells"). They start as the
length, the first byte and the last byte of the text, each XOR-ed with a key,
followed by the number as one decimal digit. Then every byte of the text is
XOR-ed into a sliding pair of cells (1-2, 2-3, ... 6-7, then 1-2 again).
"""

KEY_LENGTH = 0x5A
KEY_FIRST = 0x3C
KEY_LAST = 0xA7
MAX_TEXT_LENGTH = 255
PAIR_POSITIONS = 6  # a pair starts at cell 1..6; the seventh cell only ends one


def _hex2(value: int) -> str:
    """Two upper-case hex digits, zero-padded."""
    return format(value, "02X")


def _initial_cells(text: bytes, number: int) -> list:
    """Cells before any text byte is mixed in."""
    return list(
        _hex2(len(text) ^ KEY_LENGTH)
        + _hex2(text[0] ^ KEY_FIRST)
        + _hex2(text[-1] ^ KEY_LAST)
        + str(number)
    )


def make_request_token(text: bytes, number: int) -> str:
    """Token for ``text`` and a one-digit ``number``; "" if either is out of range."""
    if not text or len(text) > MAX_TEXT_LENGTH or not 0 <= number <= 9:
        return ""
    cells = _initial_cells(text, number)
    k = 0
    for ch in text:
        k = k % PAIR_POSITIONS + 1  # 1, 2, ..., 6, 1, 2, ...
        key = int(cells[k - 1] + cells[k], 16)
        cells[k - 1:k + 1] = _hex2(ch ^ key)
    return "".join(cells)
