"""zevdtu.py - the drill-through library for Python hosts, through ctypes.

    python3 zevdtu.py /path/to/libzevdtu.so Year=2024 Region=East Category=Beverages

prints the report as tab-separated lines and "N rows". As a module:

    lib = load("/path/to/libzevdtu.so")
    header, rows = drill(lib, ["Year=2024\\n", "Region=East\\n"])
"""
import ctypes
import sys

PASSWORD_FIELD = 31
ITEM_TEXT_FIELD = 256
INFO_NAME_FIELD = 4101

OK = 0
CANCELLED = 1


class HeaderItem(ctypes.Structure):
    _fields_ = [("row", ctypes.c_uint32),
                ("column", ctypes.c_uint32),
                ("name", ctypes.c_char * ITEM_TEXT_FIELD)]


class HeaderInfoItem(ctypes.Structure):
    # Packed: dataType sits at 8206, not at the next multiple of 4.
    _pack_ = 1
    _fields_ = [("column", ctypes.c_uint32),
                ("tableName", ctypes.c_char * INFO_NAME_FIELD),
                ("columnName", ctypes.c_char * INFO_NAME_FIELD),
                ("dataType", ctypes.c_uint16)]


class DataItem(ctypes.Structure):
    _fields_ = [("row", ctypes.c_uint32),
                ("column", ctypes.c_uint32),
                ("text", ctypes.c_char * ITEM_TEXT_FIELD)]


assert ctypes.sizeof(HeaderItem) == 264
assert ctypes.sizeof(HeaderInfoItem) == 8208 and HeaderInfoItem.dataType.offset == 8206
assert ctypes.sizeof(DataItem) == 264 and DataItem.text.offset == 8


class DrillError(Exception):
    def __init__(self, call, code, text):
        super().__init__("%s failed: code %d%s" % (call, code, ": " + text if text else ""))
        self.code = code


def load(path):
    """Loads the library and declares its exports. On 32-bit Windows use
    ctypes.WinDLL instead: the exports are stdcall there."""
    lib = ctypes.CDLL(path)
    u32, vp = ctypes.c_uint32, ctypes.c_void_p
    lib.ZevDTInit.argtypes = [ctypes.c_size_t, ctypes.POINTER(vp)]
    lib.ZevDTOpen.argtypes = [vp, u32, ctypes.POINTER(ctypes.c_char_p), ctypes.c_uint64]
    lib.ZevDTGetHeader.argtypes = [vp, ctypes.POINTER(ctypes.POINTER(HeaderItem)), ctypes.POINTER(u32)]
    lib.ZevDTGetHeaderInfo.argtypes = [vp, ctypes.POINTER(ctypes.POINTER(HeaderInfoItem)), ctypes.POINTER(u32)]
    lib.ZevDTGetData.argtypes = [vp, ctypes.POINTER(ctypes.POINTER(DataItem)), ctypes.POINTER(u32)]
    lib.ZevDTClose.argtypes = [vp]
    # A pointer into the handle's 31-byte buffer, valid until ZevDTExit.
    lib.ZevDTGetSourcePassword.argtypes = [vp]
    lib.ZevDTGetSourcePassword.restype = ctypes.c_char_p
    lib.ZevDTSetSourcePassword.argtypes = [vp, ctypes.c_char_p]
    lib.ZevDTExit.argtypes = [vp]
    for name in ("ZevDTInit", "ZevDTOpen", "ZevDTGetHeader", "ZevDTGetHeaderInfo",
                 "ZevDTGetData", "ZevDTClose", "ZevDTSetSourcePassword", "ZevDTExit"):
        getattr(lib, name).restype = u32
    if hasattr(lib, "ZevDTLoadString"):  # Linux only
        lib.ZevDTLoadString.argtypes = [u32, ctypes.c_char_p, u32]
        lib.ZevDTLoadString.restype = u32
    return lib


def code_text(lib, code):
    if not hasattr(lib, "ZevDTLoadString"):
        return ""
    buffer = ctypes.create_string_buffer(512)
    lib.ZevDTLoadString(code, buffer, len(buffer))
    return buffer.value.decode("utf-8", "replace")


def drill(lib, members, context=0, password=None):
    """Returns (column names, rows as lists of texts), or None when the user
    cancelled. Texts are bytes cut at 255, so decoding must tolerate a
    partial character at the end."""
    handle = ctypes.c_void_p()
    code = lib.ZevDTInit(0, ctypes.byref(handle))
    if code != OK:
        raise DrillError("ZevDTInit", code, code_text(lib, code))
    try:
        if password is not None:
            lib.ZevDTSetSourcePassword(handle, password.encode())
        # No terminator: the library reads exactly len(members) pointers.
        array = (ctypes.c_char_p * len(members))(*[m.encode() for m in members])
        code = lib.ZevDTOpen(handle, len(members), array, context)
        if code == CANCELLED:
            return None
        if code != OK:
            raise DrillError("ZevDTOpen", code, code_text(lib, code))
        try:
            header, columns = ctypes.POINTER(HeaderItem)(), ctypes.c_uint32()
            data, cells = ctypes.POINTER(DataItem)(), ctypes.c_uint32()
            for call, items, count in (("ZevDTGetHeader", header, columns),
                                       ("ZevDTGetData", data, cells)):
                code = getattr(lib, call)(handle, ctypes.byref(items), ctypes.byref(count))
                if code != OK:
                    raise DrillError(call, code, code_text(lib, code))
            names = [header[i].name.decode("utf-8", "replace") for i in range(columns.value)]
            # The arrays belong to the handle: copy before ZevDTClose.
            rows = {}
            for i in range(cells.value):
                item = data[i]
                row = rows.setdefault(item.row, [""] * len(names))
                if item.column >= len(row):
                    row.extend([""] * (item.column + 1 - len(row)))
                row[item.column] = item.text.decode("utf-8", "replace")
            return names, [rows[r] for r in sorted(rows)]
        finally:
            lib.ZevDTClose(handle)
    finally:
        lib.ZevDTExit(handle)


def main(argv):
    if len(argv) < 2:
        sys.stderr.write("usage: zevdtu.py LIBRARY [Dimension=Member]...\n")
        return 2
    lib = load(argv[1])
    try:
        result = drill(lib, [m + "\n" for m in argv[2:]])
    except DrillError as error:
        sys.stderr.write("%s\n" % error)
        return 3
    if result is None:
        return 1
    names, rows = result
    print("\t".join(names))
    for row in rows:
        print("\t".join(row))
    print("%d rows" % len(rows))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
