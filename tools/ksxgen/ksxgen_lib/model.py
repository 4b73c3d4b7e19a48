"""The class model built from the description: what the templates render."""

ACCESS_POLICIES = ("rw", "ro", "w1c", "w1s", "sc")


def next_pow2(n):
    p = 1
    while p < n:
        p <<= 1
    return p


def byte_size_of(width):
    """Byte size of a register: its width rounded up to a power of two of at least 32 bits, in bytes."""
    return next_pow2(max(int(width or 0), 32)) // 8


class Field:
    """A field (count > 1: a field array of equal-width elements, decoders only)."""

    def __init__(self, name, width, count, reset, access):
        self.name = name
        self.width = width
        self.count = count
        self.reset = reset
        self.access = access
        self.first = 0      # index of the first element in the class's field storage


class Member:
    """A child object held by a container (register, memory, sub-block, sub-decoder)."""

    def __init__(self, name, cls, count=1, offset=None, is_array=False):
        self.name = name
        self.cls = cls
        self.count = count
        self.offset = offset
        self.offset_given = offset is not None
        self.is_array = is_array
        self.stride = 0
        self.path = ""
        self.set_pattern = None     # the `each` pattern of a register set the member comes from


class Instance:
    """A block instance of a group wrapper (an array when is_array)."""

    def __init__(self, name, cls, base, count, stride, registry, is_array):
        self.name = name
        self.cls = cls
        self.base = base
        self.count = count
        self.stride = stride
        self.registry = registry
        self.first_registry = 0
        self.is_array = is_array
        self.path = ""


class Group:
    """A group wrapper of a top map."""

    def __init__(self, name, cls):
        self.name = name
        self.cls = cls
        self.instances = []
        self.path = ""


class GenClass:
    """One generated C++ class.

    kind: register (also entries and interrupt registers), decoder (plain or with field
    arrays), composite (decoder with sub-decoders), memory (inline entries), mem_large,
    regmem (register-group memory), intgrp (interrupt group), block, group, top.
    """

    KIND_TEXT = {"register": "register", "decoder": "decoder", "composite": "decoder",
                 "memory": "memory", "mem_large": "memory", "regmem": "memory",
                 "intgrp": "interrupt group", "block": "block", "group": "group wrapper",
                 "top": "top map"}

    def __init__(self, cname, base, kind, src):
        self.cname = cname
        self.base = base
        self.kind = kind
        self.src = src
        self.items = []
        self.width = 0
        self.reset = 0
        self.secure = False
        self.show = False
        self.byte_size = None
        self.entry = None
        self.count = 0
        self.groups = []
        self.group = None
        self.path = ""
        self.declared_width = None
        self.span = 0
        self.align = 4

    def kind_text(self):
        return self.KIND_TEXT[self.kind]

    def fields(self):
        return [i for i in self.items if isinstance(i, Field)]

    def members(self):
        out = [i for i in self.items if isinstance(i, Member)]
        for g in self.groups:
            out.append(Member(g.name, g.cls))
        if self.group is not None:
            out.extend(Member(i.name, i.cls) for i in self.group.instances)
        return out

    def field_slots(self):
        """Number of wide values the class stores (field array elements counted singly)."""
        n = 0
        for f in self.fields():
            f.first = n
            n += f.count
        return n

    def field_widths(self):
        out = []
        for f in self.fields():
            out.extend([f.width] * f.count)
        return out

    def has_fields_only(self):
        return bool(self.items) and all(isinstance(i, Field) for i in self.items)


class OutFile:
    """One header and one source: model/<dir>/<stem>.{h,cc}, from one description file."""

    def __init__(self, src, stem):
        self.src = src
        self.stem = stem
        self.classes = []
        self.notes = {}     # the description file's comments: "" -> its heading, name -> an item's
