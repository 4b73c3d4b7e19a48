"""Reading and validating the register description.

Every file under regs/ is read, checked against the schema below (keys declared once per
item kind, unknown keys rejected) and turned into the class model of model.py. Errors are
collected with file, document path and reason; the caller prints them all and stops.
"""

import bisect
import copy
import json
import os
import re

import jsonschema
import yaml

from .errors import ErrorList, join
from .model import Field, GenClass, Group, Instance, Member, OutFile, byte_size_of

# Limits of single values (widths, counts, offsets) are in the schema; these limit what the
# generator works out from several of them.
MAX_REG_WIDTH = 2048    # the fields of a register together
MAX_DECODER_WIDTH = 65535
INLINE_ENTRIES = 128
MAX_SET_COPIES = 4096
MAX_DEPTH = 32          # lists and mappings inside one another in one file

CPP_KEYWORDS = set("""
alignas alignof and and_eq asm auto bitand bitor bool break case catch char char16_t char32_t
class compl const constexpr const_cast continue decltype default delete do double dynamic_cast
else enum explicit export extern false float for friend goto if inline int long mutable
namespace new noexcept not not_eq nullptr operator or or_eq private protected public register
reinterpret_cast return short signed sizeof static static_assert static_cast struct switch
template this thread_local throw true try typedef typeid typename union unsigned using virtual
void volatile wchar_t while xor xor_eq final override
""".split())

# Names of operations every model object has: a member or accessor of that name would hide them.
NODE_OPERATIONS = set("""
all clear init show get_width s_get_width get_name get_parent set_name set_parent register_child
update_block_boundaries get_hier_path get_byte_size set_offset get_offset set_reset_val
get_reset_val get_csr_type set_csr_type get_csr_id set_csr_id get_children get_children_count
get_children_prefix get_children_string get_children_hier_name get_csr_end_addr write read
write_hw block_write block_read field_diff read_hw read_compare search_field_in_db diff
set_access_no_zero_time load_from_cfg search_csr_by_name search_csr_by_addr get_fields
get_field_val set_field_val field_show get_callbacks get_chip_id set_attributes
set_attributes_null get_csr_inst_path set_csr_inst_path load_from_cfg_rtn_status
write_using_addr read_using_addr get_field_init_done set_field_init_done
get_access_no_zero_time set_access_secure get_access_secure get_cfg_name
convert_cpp_int_to_vector_32 convert_cpp_int_to_vector_8 convert_vector_32_to_cpp_int
last_addr_node forget_last_addr_node block_byte_write block_byte_read get_csr_name
write_all_fields_zero_time read_all_fields_zero_time get_write_vec set_chip_id set_byte_size
find_block register_model update_shadow
""".split())

IDENT_RE = re.compile(r"^[A-Za-z][A-Za-z0-9_]*$")
BRACE_RE = re.compile(r"\{([^{}]*)\}")
RANGE_RE = re.compile(r"^(\d+)\.\.(\d+)$")
FIELD_RE = re.compile(r"^([A-Za-z_][A-Za-z0-9_]*):(\d+)(?:\[(\d+)\])?(?:=(\S+))?(?:\s+(\S+))?$")

# The schema of the description format (tools/ksxgen/schema/), published for editors. Every item
# is checked against its kind there: keys, value types, ranges, name patterns, access policies.
# Reserved names, layout, overlaps, widths, references and what depends on other values are
# checked in the code below.
SCHEMA_FILE = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "schema",
                           "register-description.schema.json")

# What a value that fails a schema pattern must be, by pattern ("%s": the value).
PATTERN_MESSAGES = {
    r"^[A-Za-z][A-Za-z0-9_]*$": "must be a name of letters, digits and underscores",
    r"^[A-Za-z][A-Za-z0-9_]*_t$": "must be a class name ending in _t",
    r"^[A-Za-z][A-Za-z0-9_]*_$": "must be a class name prefix ending in '_'",
    r"^[a-z][a-z0-9_]*_$": "must be a class name prefix ending in '_'",
    r"^[a-z][a-z0-9_]*(/[a-z][a-z0-9_]*)*$": "must be a relative folder of lower-case names",
    r"^[A-Za-z0-9_{},.]+$": "must be a name pattern such as sym{0..3}_ring{0..15}",
    r"^\s*(0[xX][0-9a-fA-F_]+|[0-9_]+)\s*$": "not a number: '%s'",
}
TYPE_MESSAGES = {"integer": "must be an integer", "boolean": "must be true or false",
                 "object": "must be a mapping", "string": "must be text",
                 ("integer", "string"): "must be a whole number (decimal or 0x hexadecimal)"}


def _own_schema(prop):
    """A key's schema without the items of other kinds it holds: those are checked against
    their own kind as they are read."""
    if "$ref" not in json.dumps(prop):
        return prop
    return {k: v for k, v in prop.items()
            if k in ("type", "minItems", "maxItems", "minProperties", "maxProperties")}


# JSON Schema counts 8.0 as an integer; a width, count or offset of the description must be
# written as an integer (and true is not 1).
_Validator = jsonschema.validators.extend(
    jsonschema.Draft202012Validator,
    type_checker=jsonschema.Draft202012Validator.TYPE_CHECKER.redefine(
        "integer", lambda checker, v: isinstance(v, int) and not isinstance(v, bool)))


def _load_schema():
    with open(SCHEMA_FILE, encoding="utf-8") as fh:
        doc = json.load(fh)
    validators = {}
    for kind, d in doc["$defs"].items():
        if d.get("type") != "object":
            continue
        own = dict(d, properties={k: _own_schema(v) for k, v in d["properties"].items()})
        validators[kind] = _Validator(own)
    return doc, validators


SCHEMA_DOC, _VALIDATORS = _load_schema()


def schema_message(e):
    """One clear reason for a jsonschema error of a value (not of the item's keys)."""
    v, schema, value = e.validator, e.schema, e.instance
    if v == "pattern" or (v == "type" and "pattern" in schema and schema["type"] == "string"):
        text = PATTERN_MESSAGES.get(schema["pattern"], "must match %s" % schema["pattern"])
        return text % value if "%s" in text else text
    if v == "type":
        t = schema["type"]
        if t == "array":
            return "must be a non-empty list" if schema.get("minItems") else "must be a list"
        return TYPE_MESSAGES.get(tuple(t) if isinstance(t, list) else t, "must be %s" % t)
    if v == "minItems":
        return "must be a non-empty list"
    if v == "minProperties":
        return "must be a non-empty mapping"
    if v in ("maxItems", "maxProperties"):
        path = list(e.path)
        what = "sources" if len(path) >= 2 and path[-2] == "groups" else path[-1]
        return "must have at most %d %s" % (e.validator_value, what)
    if v == "minimum":
        return "must be >= %d" % e.validator_value
    if v == "maximum":
        return "must be <= %d" % e.validator_value
    if v == "multipleOf":
        return "must be a multiple of 0x%x" % e.validator_value
    if v == "enum":
        return "must be one of %s" % ", ".join(e.validator_value)
    return e.message


# libyaml's parser when PyYAML has it (several times faster), else PyYAML's own.
_BaseLoader = getattr(yaml, "CSafeLoader", yaml.SafeLoader)


class _Loader(_BaseLoader):
    """Safe loader that refuses a key given twice in one mapping."""


def _construct_mapping(loader, node, deep=False):
    seen = set()
    for key_node, _ in node.value:
        if key_node.tag == "tag:yaml.org,2002:merge":
            continue
        if not isinstance(key_node, yaml.ScalarNode):
            raise yaml.constructor.ConstructorError(
                None, None, "a list or mapping cannot be a key", key_node.start_mark)
        key = loader.construct_object(key_node, deep=deep)
        if key in seen:
            raise yaml.constructor.ConstructorError(
                None, None, "key '%s' given twice" % key, key_node.start_mark)
        seen.add(key)
    return yaml.constructor.SafeConstructor.construct_mapping(loader, node, deep)


_Loader.add_constructor(yaml.resolver.BaseResolver.DEFAULT_MAPPING_TAG, _construct_mapping)


def hexs(v):
    return "0x%x" % v


def nesting_depth(text, limit):
    """Depth of lists and mappings inside one another in a YAML text, counted up to limit + 1
    from the parser's events (the parser does not recurse; building the document does)."""
    depth = deepest = 0
    for ev in yaml.parse(text, Loader=_BaseLoader):
        if isinstance(ev, (yaml.SequenceStartEvent, yaml.MappingStartEvent)):
            depth += 1
            deepest = max(deepest, depth)
            if deepest > limit:
                break
        elif isinstance(ev, (yaml.SequenceEndEvent, yaml.MappingEndEvent)):
            depth -= 1
    return deepest


NOTE_ITEM_RE = re.compile(r"""^\s*-\s*(?:\{\s*)?(?:name|each):\s*['"]?((?:[^\s,{}'"]|\{[^}]*\})+)""")


def comment_notes(text):
    """Comments of a description file as notes for readers: the comment lines at the top of
    the file under "", and the comment lines right above a list item under the item's name
    (or its `each` pattern)."""
    notes, pending, heading = {}, [], True
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("#"):
            pending.append(stripped.lstrip("#").strip())
            continue
        if heading:
            if pending:
                notes[""] = " ".join(pending)
            heading = False
        m = NOTE_ITEM_RE.match(line)
        if m and pending and m.group(1) not in notes:
            notes[m.group(1)] = " ".join(pending)
        pending = []
    return notes


def expand_names(pattern):
    """Names of a register set: `sym{0..3}_ring{0..15}` or `{tx,rx}_ring` expanded, the leftmost
    brace outermost. Raises ValueError with the reason for a pattern that cannot be read."""
    parts = BRACE_RE.split(pattern)
    if "{" in "".join(parts[0::2]) or "}" in "".join(parts[0::2]):
        raise ValueError("unbalanced brace in '%s'" % pattern)
    names = [""]
    for k, part in enumerate(parts):
        if k % 2 == 0:
            names = [n + part for n in names]
            continue
        m = RANGE_RE.match(part)
        if m:
            lo, hi = int(m.group(1)), int(m.group(2))
            if hi < lo or hi - lo >= MAX_SET_COPIES:
                raise ValueError("range {%s} must run upward over at most %d values" % (part, MAX_SET_COPIES))
            choices = [str(i) for i in range(lo, hi + 1)]
        else:
            choices = part.split(",")
            if not all(choices):
                raise ValueError("empty choice in {%s}" % part)
        names = [n + c for n in names for c in choices]
        if len(names) > MAX_SET_COPIES:
            raise ValueError("expands to more than %d names" % MAX_SET_COPIES)
    return names


def schema_errors(doc, kind):
    """Errors of item doc against its kind in the schema, as (path below the item, reason):
    unknown keys in document order, missing required keys, then one error per wrong value;
    and the set of keys whose values are wrong (None when doc is not a mapping)."""
    errors = list(_VALIDATORS[kind].iter_errors(doc))
    if not errors:
        return (), set()
    if any(e.validator == "type" and not e.path for e in errors):
        return [("", "must be a mapping")], None
    schema = _VALIDATORS[kind].schema
    found = {e.validator for e in errors if not e.path}
    out = []
    if "additionalProperties" in found:
        out += [(str(k), "unknown key") for k in doc if k not in schema["properties"]]
    if "required" in found:
        out += [(k, "required key missing") for k in schema["properties"]
                if k in schema.get("required", ()) and k not in doc]
    if "dependentRequired" in found:
        out += [(n, "required with %s" % k) for k, needs in schema["dependentRequired"].items()
                for n in needs if k in doc and n not in doc]
    bad, seen = set(), set()
    for e in sorted((e for e in errors if e.path), key=lambda e: _document_order(doc, e)):
        where = ""
        for p in e.path:
            where = join(where, p)
        if "propertyNames" in e.schema_path:
            where = join(where, str(e.instance))        # the key itself is wrong
        if where not in seen:
            seen.add(where)
            bad.add(e.path[0])
            out.append((where, schema_message(e)))
    return out, bad


def _document_order(doc, e):
    """Where the value of error e stands in doc: the position of every key or index on its path."""
    pos, node = [], doc
    path = list(e.path) + ([e.instance] if "propertyNames" in e.schema_path else [])
    for p in path:
        if isinstance(node, dict):
            keys = list(node)
            pos.append(keys.index(p) if p in node else len(keys))
            node = node.get(p)
        elif isinstance(node, list) and isinstance(p, int):
            pos.append(p)
            node = node[p]
        else:
            pos.append(0)
            node = None
    return pos


_text_field_errors = {}


def text_field_errors(text, d, kind):
    """schema_errors of a field given as text (parsed into d), once per distinct text."""
    key = (kind, text)
    if key not in _text_field_errors:
        _text_field_errors[key] = schema_errors(d, kind)
    return _text_field_errors[key]


class Reader:
    """Reads every description file and builds the class model, collecting errors."""

    def __init__(self, errors=None):
        self.errors = errors if errors is not None else ErrorList()
        self.classes = {}        # class name -> GenClass
        self.class_origin = {}   # class name -> "file: path"
        self.outfiles = []       # OutFile in file order
        self.pending_refs = []   # (fname, path, member, wanted kinds, on_resolved)
        self.output_owner = {"model/ksx_regdb/ksx_regdb_tables.cc": "the register map database"}
        self.tops = []

    # ---- small checks -------------------------------------------------------------------
    def err(self, fname, path, reason):
        self.errors.add(fname, path, reason)

    def check(self, fname, path, doc, kind):
        """Checks item doc against its kind in the schema, reporting each error below path;
        returns the set of its keys whose values are wrong, None when doc is not a mapping."""
        found, bad = schema_errors(doc, kind)
        for where, reason in found:
            self.err(fname, join(path, where) if where else path, reason)
        return bad

    def reserved(self, fname, path, v):
        """A name the schema accepted, unless the generated C++ needs it for itself."""
        if v in CPP_KEYWORDS or v in NODE_OPERATIONS or v.startswith("m_"):
            self.err(fname, path, "'%s' is reserved" % v)
            return None
        return v

    def ident(self, fname, path, v):
        """A member name the generator puts together (a register set's copies)."""
        if not IDENT_RE.match(v):
            self.err(fname, path, "must be a name of letters, digits and underscores")
            return None
        return self.reserved(fname, path, v)

    def value(self, fname, path, v, width):
        """A reset value the schema accepted (an integer >= 0, or decimal/hex text) as a number
        fitting `width` bits."""
        if isinstance(v, str):
            try:
                v = int(v.replace("_", ""), 0)
            except ValueError:
                self.err(fname, path, "not a number: '%s'" % v)
                return None
        if width is not None and v >> width:
            self.err(fname, path, "does not fit in %d bits" % width)
            return None
        return v

    def define(self, fname, path, cls):
        """Enters a generated class, refusing a second class of the same name."""
        where = "%s: %s" % (fname, path) if path else fname
        if cls.cname in self.classes:
            self.err(fname, path, "class %s already generated from %s"
                     % (cls.cname, self.class_origin[cls.cname]))
            return False
        self.classes[cls.cname] = cls
        self.class_origin[cls.cname] = where
        return True

    def unique(self, fname, path, names):
        """names: list of (name, path); reports each repeat."""
        first = {}
        for n, p in names:
            if n is None:
                continue
            if n in first:
                self.err(fname, p, "duplicate name '%s' (also %s)" % (n, first[n]))
            else:
                first[n] = p

    # ---- files --------------------------------------------------------------------------
    def read_dir(self, regs_dir, shown_dir="regs"):
        names = sorted(f for f in os.listdir(regs_dir) if f.endswith(".yaml"))
        for f in names:
            self.read_file(os.path.join(regs_dir, f), "%s/%s" % (shown_dir, f))
        self.resolve()
        return self

    def read_file(self, path, fname):
        try:
            with open(path, "rb") as fh:
                raw = fh.read()
        except OSError as e:
            self.err(fname, "", "cannot read: %s" % e.strerror)
            return
        try:
            text = raw.decode("utf-8")
        except UnicodeDecodeError as e:
            line = raw[:e.start].count(b"\n") + 1
            self.err(fname, "line %d" % line, "not UTF-8 text (byte 0x%02x)" % raw[e.start])
            return
        if text.startswith("\ufeff"):
            text = text[1:]
        try:
            if nesting_depth(text, MAX_DEPTH) > MAX_DEPTH:
                self.err(fname, "", "lists and mappings nested deeper than %d levels" % MAX_DEPTH)
                return
            doc = yaml.load(text, Loader=_Loader)
        except yaml.reader.ReaderError as e:
            line = text[:e.position].count("\n") + 1
            self.err(fname, "line %d" % line, "YAML: character #x%04x is not allowed" % e.character)
            return
        except yaml.YAMLError as e:
            mark = getattr(e, "problem_mark", None)
            where = "line %d" % (mark.line + 1) if mark is not None else ""
            reason = getattr(e, "problem", None) or str(e).splitlines()[0]
            self.err(fname, where, "YAML: %s" % reason)
            return
        self.read_doc(doc, fname)
        notes = comment_notes(text)
        for out in self.outfiles:
            if out.src == fname:
                out.notes = notes
        self.claim_outputs(fname)

    def claim_outputs(self, fname):
        """Refuses a file whose generated files another file already writes."""
        for out in self.outfiles:
            if out.src != fname:
                continue
            for rel in (out.stem + ".h", out.stem + ".cc"):
                owner = self.output_owner.setdefault(rel, fname)
                if owner != fname:
                    self.err(fname, "", "writes %s, as %s does" % (rel, owner))
                    out.classes = []
                    break

    def read_doc(self, doc, fname):
        if not isinstance(doc, dict):
            self.err(fname, "", "must be a mapping with one of the keys block, decoders, top")
            return
        kinds = [k for k in ("block", "decoders", "top") if k in doc]
        if len(kinds) != 1:
            self.err(fname, "", "must have exactly one of the keys block, decoders, top")
            return
        {"block": self.read_block_file, "decoders": self.read_decoder_file,
         "top": self.read_top_file}[kinds[0]](doc, fname)

    # ---- register bodies -------------------------------------------------------------------
    def read_fields(self, fname, path, raw, decoder):
        """List of fields (decoder: field arrays and sub-decoder members allowed); the list
        itself has been checked with its register."""
        items = []
        names = []
        for i, f in enumerate(raw):
            p = join(path, i)
            if isinstance(f, str):
                m = FIELD_RE.match(f.strip())
                if not m:
                    self.err(fname, p, "cannot read '%s' (expected name:width[=reset][ policy])" % f)
                    continue
                d = {"name": m.group(1), "width": int(m.group(2))}
                if m.group(3) is not None:
                    d["count"] = int(m.group(3))
                if m.group(4) is not None:
                    d["reset"] = m.group(4)
                if m.group(5) is not None:
                    d["access"] = m.group(5)
                if "count" in d and not decoder:
                    self.err(fname, p, "field arrays are only for decoders")
                    continue
            elif isinstance(f, dict):
                d = f
            else:
                self.err(fname, p, "must be a text name:width or a mapping")
                continue
            kind = "field"
            if decoder:
                kind = "decoder_member" if "type" in d else "decoder_field"
            if d is f:
                bad = self.check(fname, p, d, kind)
            else:
                found, bad = text_field_errors(f, d, kind)
                for where, reason in found:
                    self.err(fname, join(p, where), reason)
            if bad is None:
                continue
            name = None
            if "name" in d and "name" not in bad:
                name = self.reserved(fname, join(p, "name"), d["name"])
            names.append((name, join(p, "name")))
            count = d["count"] if "count" in d and "count" not in bad else 1
            if "type" in d:
                mem = Member(name, None, count=count, is_array="count" in d)
                if "type" not in bad:
                    self.pending_refs.append((fname, join(p, "type"), mem, d["type"], ("decoder", "composite")))
                items.append(mem)
                continue
            if "width" not in d or "width" in bad:
                continue
            width = d["width"]
            reset = None
            if "reset" in d and "reset" not in bad:
                reset = self.value(fname, join(p, "reset"), d["reset"], width)
                if reset is not None and count > 1:
                    self.err(fname, join(p, "reset"), "field arrays take no reset")
                    reset = None
            access = d["access"] if "access" in d and "access" not in bad else None
            items.append(Field(name, width, count, reset, access))
        self.unique(fname, path, names)
        return items

    def read_body(self, fname, path, d, bad, cname, base, kind, src, decoder=False):
        """A register (or entry, or decoder) body: fields, width, reset, secure, access; bad:
        its keys the schema refused."""
        cls = GenClass(cname, base, kind, src)
        max_w = MAX_DECODER_WIDTH if decoder else MAX_REG_WIDTH
        width = d["width"] if "width" in d and "width" not in bad else None
        default_access = d["access"] if "access" in d and "access" not in bad else "rw"
        if "fields" in d:
            if "fields" not in bad:
                cls.items = self.read_fields(fname, join(path, "fields"), d["fields"], decoder)
        elif width is not None:
            cls.items = [Field("fld", width, 1, None, None)]
        elif "width" not in d:
            self.err(fname, path, "needs fields or width")
        for f in cls.fields():
            if f.access is None:
                f.access = default_access
        if cls.members():
            cls.kind = "composite"
        total = sum(f.width * f.count for f in cls.fields())
        if cls.kind != "composite":
            if width is not None and cls.items and total != width and "fields" in d:
                self.err(fname, join(path, "fields"),
                         "field widths add up to %d, width is %d" % (total, width))
            elif total > max_w:
                self.err(fname, join(path, "fields"),
                         "field widths add up to %d, more than %d" % (total, max_w))
            cls.width = total
        if "reset" in d:
            if any(f.reset is not None for f in cls.fields()):
                self.err(fname, join(path, "reset"), "given both for the register and its fields")
            elif cls.kind == "composite":
                self.err(fname, join(path, "reset"), "not allowed with sub-decoder members")
            elif "reset" not in bad:
                cls.reset = self.value(fname, join(path, "reset"), d["reset"], cls.width or None) or 0
        else:
            acc, shift = 0, 0
            for f in cls.fields():
                acc |= (f.reset or 0) << shift
                shift += f.width * f.count
            cls.reset = acc
        if "secure" in d and "secure" not in bad:
            cls.secure = d["secure"]
        return cls

    # ---- block files --------------------------------------------------------------------------
    def read_block_file(self, doc, fname):
        bad = self.check(fname, "", doc, "block_file")
        if bad is None or bad & {"block", "prefix", "dir"}:
            return
        blk = doc["block"]
        prefix = doc.get("prefix", "ksx_%s_csr_" % blk)
        outdir = doc.get("dir", "ksx_%s" % blk)
        out = OutFile(fname, "model/%s/%s" % (outdir, prefix[:-1]))
        block = GenClass(prefix + "t", "ksx_block_base", "block", fname)
        bs = None
        if "byte_size" in doc and "byte_size" not in bad:
            bs = doc["byte_size"]
            if bs & (bs - 1):
                self.err(fname, "byte_size", "must be a power of two")
                bs = None
        block.byte_size = bs
        children = doc["children"] if "children" in doc and "children" not in bad else []
        seen = {}
        for i, c in enumerate(children):
            p = join("children", i)
            mem = self.read_child(fname, p, c, prefix, out, seen)
            if mem is not None:
                mem.path = p
                block.items.append(mem)
        if "interrupts" in doc:
            for mem in self.read_interrupts(fname, "interrupts", doc["interrupts"], prefix, out):
                if mem.name in seen:
                    self.err(fname, "interrupts", "duplicate name '%s' (also %s)" % (mem.name, seen[mem.name]))
                    continue
                block.items.append(mem)
        if self.define(fname, "", block):
            out.classes.append(block)
        self.outfiles.append(out)

    def read_child(self, fname, path, c, prefix, out, seen):
        if not isinstance(c, dict):
            self.err(fname, path, "must be a mapping")
            return None
        if "type" in c:
            kind = "sub"
        elif "registers" in c:
            kind = "regmem"
        elif "entry" in c:
            kind = "memory"
        else:
            kind = "register"
        bad = self.check(fname, path, c, kind)
        if "name" not in c or "name" in bad:
            return None
        name = self.reserved(fname, join(path, "name"), c["name"])
        if name is None:
            return None
        if name in seen:
            self.err(fname, join(path, "name"), "duplicate name '%s' (also %s)" % (name, seen[name]))
            return None
        seen[name] = join(path, "name")
        mem = Member(name, None)
        if "offset" in c and "offset" not in bad:
            mem.offset = c["offset"]
            mem.offset_given = True
        if "array" in c:
            mem.count = c["array"] if "array" not in bad else 1
            mem.is_array = True
        if kind == "sub":
            if "type" not in bad:
                self.pending_refs.append((fname, join(path, "type"), mem, c["type"],
                                          ("block", "register", "decoder", "composite")))
            return mem
        if kind == "register":
            cls = self.read_body(fname, path, c, bad, prefix + name + "_t", "ksx_register_base",
                                 "register", fname)
        elif kind == "memory":
            cls = self.read_memory(fname, path, c, bad, prefix + name, out)
        else:
            cls = self.read_regmem(fname, path, c, bad, prefix + name, out)
        if cls is None:
            return None
        if self.define(fname, path, cls):
            out.classes.append(cls)
        mem.cls = cls
        return mem

    def read_memory(self, fname, path, c, bad, stem, out):
        count = c["count"] if "count" in c and "count" not in bad else None
        entry_raw = c["entry"]
        entry_bad = self.check(fname, join(path, "entry"), entry_raw, "entry")
        if entry_bad is None:
            return None
        entry = self.read_body(fname, join(path, "entry"), entry_raw, entry_bad, stem + "_entry_t",
                               "ksx_register_base", "register", fname)
        if self.define(fname, join(path, "entry"), entry):
            out.classes.append(entry)
        if count is None:
            return None
        large = count > INLINE_ENTRIES
        cls = GenClass(stem + "_t", "ksx_memory_base", "mem_large" if large else "memory", fname)
        cls.entry = entry
        cls.count = count
        if not large:
            cls.items = [Member("entry", entry, count=count, offset=0, is_array=count > 1)]
        if "secure" in c and "secure" not in bad:
            cls.secure = c["secure"]
        cls.width = (entry.width * count) & 0xFFFFFFFF
        return cls

    def read_regmem(self, fname, path, c, bad, stem, out):
        cls = GenClass(stem + "_t", "ksx_memory_base", "regmem", fname)
        if "registers" in bad:
            return None
        names = []
        for i, r in enumerate(c["registers"]):
            p = join(join(path, "registers"), i)
            if isinstance(r, dict) and "each" in r:
                self.read_register_set(fname, p, r, stem, out, cls, names)
                continue
            m = self.read_group_register(fname, p, r, stem, "", out, names)
            if m is not None:
                cls.items.append(m)
        self.unique(fname, path, names)
        if "secure" in c and "secure" not in bad:
            cls.secure = c["secure"]
        return cls

    def read_group_register(self, fname, p, r, stem, prefix, out, names):
        """One register of a register-group memory; prefix: the copy name of a register set."""
        bad = self.check(fname, p, r, "group_register")
        if bad is None or "name" not in r or "name" in bad:
            return None
        rname = self.reserved(fname, join(p, "name"), r["name"])
        if rname is not None and prefix:
            rname = self.ident(fname, join(p, "name"), "%s_%s" % (prefix, rname))
        names.append((rname, join(p, "name")))
        if rname is None:
            return None
        rc = self.read_body(fname, p, r, bad, "%s_%s_t" % (stem, rname), "ksx_register_base",
                            "register", fname)
        if self.define(fname, p, rc):
            out.classes.append(rc)
        m = Member(rname, rc)
        m.path = p
        if "offset" in r and "offset" not in bad:
            m.offset = r["offset"]
            m.offset_given = True
        return m

    def read_register_set(self, fname, path, r, stem, out, cls, names):
        """A set of registers repeated once per name of `each`, `stride` bytes apart: register
        <reg> of copy <name> is member <name>_<reg>, at offset + k * stride + its own offset."""
        bad = self.check(fname, path, r, "register_set")
        if bad is None or bad & {"each", "registers"} or "registers" not in r:
            return
        pattern = r["each"]
        try:
            copies = expand_names(pattern)
        except ValueError as e:
            self.err(fname, join(path, "each"), str(e))
            return
        body = r["registers"]
        start = r["offset"] if "offset" in r and "offset" not in bad else None
        stride = r["stride"] if "stride" in r and "stride" not in bad else None
        # The copy's layout, from the first copy: each register at its offset or after the last.
        first, rel, end, align = [], [], 0, 4
        for j, reg in enumerate(body):
            p = "%s{%s}.registers[%d]" % (path, copies[0], j)
            m = self.read_group_register(fname, p, reg, stem, copies[0], out, names)
            if m is None:
                return
            bs = byte_size_of(m.cls.width)
            off = m.offset if m.offset_given else -(-end // bs) * bs
            rel.append(off)
            first.append(m)
            end = max(end, off + bs)
            align = max(align, bs)
        if stride is None:
            stride = -(-end // align) * align
        if start is None:
            # After the registers so far, placed as layout() will place them.
            start = 0
            for it in cls.items:
                bs = byte_size_of(it.cls.width)
                lo = it.offset if it.offset_given else -(-start // bs) * bs
                start = max(start, lo + bs)
            start = -(-start // align) * align
        for k, copy_name in enumerate(copies):
            for j, proto in enumerate(first):
                if k == 0:
                    m = proto
                else:
                    rname = "%s_%s" % (copy_name, body[j]["name"])
                    p = "%s{%s}.registers[%d]" % (path, copy_name, j)
                    if self.ident(fname, join(p, "name"), rname) is None:
                        return
                    names.append((rname, join(p, "name")))
                    rc = copy.copy(proto.cls)
                    rc.cname = "%s_%s_t" % (stem, rname)
                    rc.items = list(proto.cls.items)
                    if self.define(fname, p, rc):
                        out.classes.append(rc)
                    m = Member(rname, rc)
                    m.path = p
                m.offset = start + k * stride + rel[j]
                m.offset_given = True
                m.set_pattern = pattern
                cls.items.append(m)

    def read_interrupts(self, fname, path, d, prefix, out):
        """Expands the interrupt groups of a block into its int_groups, csr_intr and int_<grp>."""
        bad = self.check(fname, path, d, "interrupts")
        if bad is None or bad & {"offset", "groups"} or "offset" not in d or "groups" not in d:
            return []
        base = d["offset"]
        members = []
        gnames = []
        for gname, srcs in d["groups"].items():
            gp = join(join(path, "groups"), gname)
            before = len(self.errors)
            self.unique(fname, gp, [(s, join(gp, i)) for i, s in enumerate(srcs)])
            if len(self.errors) != before:
                continue
            gnames.append(gname)
            stem = "%sint_%s" % (prefix, gname)
            status = self.int_register(stem + "_intreg_t", [s + "_interrupt" for s in srcs], "w1c", fname)
            enable = self.int_register(stem + "_int_enable_set_t", [s + "_enable" for s in srcs], "w1s", fname)
            grp = GenClass(stem + "_t", "ksx_register_base", "intgrp", fname)
            grp.items = [Member("intreg", status, offset=0), Member("int_test_set", status, offset=4),
                         Member("int_enable_set", enable, offset=8),
                         Member("int_enable_clear", enable, offset=12)]
            grp.width = 2 * status.width + 2 * enable.width
            for cls in (status, enable, grp):
                if self.define(fname, gp, cls):
                    out.classes.append(cls)
            m = Member("int_" + gname, grp, offset=None)
            m.path = gp
            members.append(m)
        if not gnames:
            return []
        st = self.int_register(prefix + "intreg_status_t", ["int_%s_interrupt" % g for g in gnames], "ro", fname)
        en = self.int_register(prefix + "int_groups_int_enable_rw_reg_t", ["int_%s_enable" % g for g in gnames], "rw", fname)
        summary = GenClass(prefix + "intgrp_status_t", "ksx_register_base", "intgrp", fname)
        summary.items = [Member("intreg", st, offset=0), Member("int_enable_rw_reg", en, offset=4),
                         Member("int_rw_reg", st, offset=8)]
        summary.width = 2 * st.width + en.width
        intr = self.int_register(prefix + "csr_intr_t", ["dowstream", "dowstream_enable"], "rw", fname)
        for cls in (st, en, summary, intr):
            if self.define(fname, path, cls):
                out.classes.append(cls)
        head = [Member("int_groups", summary, offset=base), Member("csr_intr", intr, offset=base + 0x10)]
        for m in head:
            m.path = path
            m.offset_given = True
        for k, m in enumerate(members):
            m.offset = base + 0x20 + 0x10 * k
            m.offset_given = True
        return head + members

    def int_register(self, cname, names, access, src):
        cls = GenClass(cname, "ksx_register_base", "register", src)
        cls.items = [Field(n, 1, 1, None, access) for n in names]
        cls.width = len(names)
        cls.reset = 0
        return cls

    # ---- decoder files --------------------------------------------------------------------------
    def read_decoder_file(self, doc, fname):
        bad = self.check(fname, "", doc, "decoder_file")
        if bad is None or bad & {"decoders", "dir"} or "dir" not in doc or "decoders" not in doc:
            return
        out = OutFile(fname, "model/%s/%s" % (doc["dir"], doc["decoders"]))
        classes = doc["classes"] if "classes" in doc and "classes" not in bad else []
        for i, c in enumerate(classes):
            p = join("classes", i)
            cbad = self.check(fname, p, c, "decoder")
            if cbad is None or "name" not in c or "name" in cbad or "fields" not in c:
                continue
            cls = self.read_body(fname, p, c, cbad, c["name"], "ksx_decoder_base", "decoder", fname,
                                 decoder=True)
            cls.path = p
            if "show" in c and "show" not in cbad:
                cls.show = c["show"]
            if cls.kind == "composite" and "width" in c and "width" not in cbad:
                cls.declared_width = c["width"]
            if self.define(fname, p, cls):
                out.classes.append(cls)
        self.outfiles.append(out)

    # ---- top files ------------------------------------------------------------------------------
    def read_top_file(self, doc, fname):
        bad = self.check(fname, "", doc, "top_file")
        if bad is None or bad & {"top", "dir", "group_prefix"} or "top" not in doc or "dir" not in doc:
            return
        tname, outdir = doc["top"], doc["dir"]
        gprefix = doc.get("group_prefix", "ksx_")
        top = GenClass(tname, "ksx_block_base", "top", fname)
        out = OutFile(fname, "model/%s/%s" % (outdir, tname[:-2]))
        groups = doc["groups"] if "groups" in doc and "groups" not in bad else []
        gseen = {}
        for i, g in enumerate(groups):
            p = join("groups", i)
            gbad = self.check(fname, p, g, "group")
            if gbad is None or "name" not in g or gbad & {"name", "class"}:
                continue
            gname = self.reserved(fname, join(p, "name"), g["name"])
            if gname is None:
                continue
            if gname in gseen:
                self.err(fname, join(p, "name"), "duplicate name '%s' (also %s)" % (gname, gseen[gname]))
                continue
            gseen[gname] = join(p, "name")
            wclass = g.get("class", "%s%s_lgrp_csr_t" % (gprefix, gname))
            grp = Group(gname, GenClass(wclass, "ksx_block_base", "group", fname))
            grp.path = p
            inames = []
            raw = g["instances"] if "instances" in g and "instances" not in gbad else []
            for j, inst in enumerate(raw):
                ip = join(join(p, "instances"), j)
                ibad = self.check(fname, ip, inst, "instance")
                if ibad is None or "name" not in inst:
                    continue
                iname = self.reserved(fname, join(ip, "name"), inst["name"]) if "name" not in ibad else None
                inames.append((iname, join(ip, "name")))
                if iname is None or "base" not in inst or ibad & {"base", "count", "stride", "registry"}:
                    continue
                count = inst.get("count")
                registry = inst.get("registry")
                it = Instance(iname, None, inst["base"], count or 1, inst.get("stride", 0), registry,
                              count is not None)
                it.path = ip
                if "type" in inst and "type" not in ibad:
                    self.pending_refs.append((fname, join(ip, "type"), it, inst["type"], ("block",)))
                grp.instances.append(it)
            self.unique(fname, p, inames)
            if self.define(fname, p, grp.cls):
                gout = OutFile(fname, "model/%s/%s" % (outdir, wclass[:-2]))
                gout.classes.append(grp.cls)
                grp.cls.group = grp
                self.outfiles.append(gout)
            top.groups.append(grp)
        if self.define(fname, "", top):
            out.classes.append(top)
            self.tops.append(top)
        self.outfiles.append(out)

    # ---- cross-file checks --------------------------------------------------------------------------
    def resolve(self):
        for fname, path, mem, cname, kinds in self.pending_refs:
            cls = self.classes.get(cname)
            if cls is None:
                self.err(fname, path, "unknown class '%s'" % cname)
                continue
            if cls.kind not in kinds:
                self.err(fname, path, "'%s' is a %s class, expected %s"
                         % (cname, cls.kind_text(), " or ".join(sorted(set(k if k != "composite" else "decoder" for k in kinds)))))
                continue
            mem.cls = cls
        if self.check_cycles():
            return
        for cls in self.ordered_classes():
            if all(m.cls is not None for m in cls.members()):
                self.finish_class(cls)
        for top in self.tops:
            self.finish_top(top)

    def ordered_classes(self):
        """Classes with every class they hold before them."""
        done, order = set(), []

        def visit(c):
            if c.cname in done:
                return
            done.add(c.cname)
            for m in c.members():
                if m.cls is not None:
                    visit(m.cls)
            if c.entry is not None:
                visit(c.entry)
            order.append(c)
        for name in sorted(self.classes):
            visit(self.classes[name])
        return order

    def check_cycles(self):
        """Reports classes that contain themselves; True when there are any."""
        state = {}
        before = len(self.errors)

        def visit(c, trail):
            s = state.get(c.cname)
            if s == 1:
                return
            if s == 0:
                self.err(self.class_origin[c.cname].split(": ")[0], "",
                         "class %s contains itself (%s)" % (c.cname, " -> ".join(trail + [c.cname])))
                return
            state[c.cname] = 0
            for m in c.members():
                if m.cls is not None:
                    visit(m.cls, trail + [c.cname])
            state[c.cname] = 1
        for name in sorted(self.classes):
            visit(self.classes[name], [])
        return len(self.errors) != before

    def finish_class(self, cls):
        fname = cls.src
        if cls.kind == "composite":
            total, off = 0, 0
            for it in cls.items:
                if isinstance(it, Field):
                    total += it.width * it.count
                else:
                    total += it.cls.width * it.count
                    bs = byte_size_of(it.cls.width)
                    off = -(-off // bs) * bs
                    it.offset = off
                    it.stride = bs
                    off += bs * it.count
            if total > MAX_DECODER_WIDTH:
                self.err(fname, join(cls.path, "fields"),
                         "member widths add up to %d, more than %d" % (total, MAX_DECODER_WIDTH))
            if cls.declared_width is not None and cls.declared_width != total:
                self.err(fname, join(cls.path, "fields"),
                         "member widths add up to %d, width is %d" % (total, cls.declared_width))
            cls.width = total
        elif cls.kind == "regmem":
            self.layout(cls, None, "registers")
            cls.width = sum(m.cls.width for m in cls.items) & 0xFFFFFFFF
        elif cls.kind == "block":
            self.layout(cls, cls.byte_size, "children")
            cls.width = sum(m.cls.width * m.count for m in cls.items) & 0xFFFFFFFF

    def span_align(self, cls):
        """Address span and alignment of one element of class cls inside a block."""
        if cls.kind in ("block",):
            return cls.byte_size or 4, cls.byte_size or 4
        if cls.kind in ("memory", "mem_large"):
            bs = byte_size_of(cls.entry.width)
            return bs * cls.count, bs
        if cls.kind == "regmem":
            return cls.span, cls.align
        if cls.kind == "intgrp":
            return 16, 16
        bs = byte_size_of(cls.width)
        return bs, bs

    def layout(self, cls, limit, what):
        """Gives every member an offset, checking alignment, overlap and the window. Members that
        overlap nothing are kept sorted by address, so each check is a binary search."""
        fname = cls.src
        placed = []             # (lo, hi, declaration index, member), disjoint, sorted by lo
        end = 0
        for i, m in enumerate(cls.items):
            span, align = self.span_align(m.cls)
            m.stride = span
            total = span * m.count
            if not m.offset_given:
                m.offset = -(-end // align) * align
            elif m.offset % align:
                self.err(fname, join(m.path, "offset"), "%s must be a multiple of %s"
                         % (hexs(m.offset), hexs(align)))
            lo, hi = m.offset, m.offset + total - 1
            k = bisect.bisect_left(placed, (lo,))
            hits = [placed[j] for j in (k - 1, k) if 0 <= j < len(placed)
                    and lo <= placed[j][1] and placed[j][0] <= hi]
            if hits:
                plo, phi, _i, pm = min(hits, key=lambda h: h[2])
                self.err(fname, join(m.path, "offset"), "%s..%s overlaps %s '%s' (%s..%s)"
                         % (hexs(lo), hexs(hi), pm.path, pm.name, hexs(plo), hexs(phi)))
            elif total > 0:
                placed.insert(k, (lo, hi, i, m))
            if limit is not None and hi >= limit:
                self.err(fname, join(m.path, "offset"), "%s..%s lies beyond byte_size %s"
                         % (hexs(lo), hexs(hi), hexs(limit)))
            end = max(end, hi + 1)
        if cls.kind == "regmem":
            cls.span = end
            cls.align = max([self.span_align(m.cls)[1] for m in cls.items] or [4])

    def finish_top(self, top):
        fname = top.src
        next_free = {}
        used = {}
        for grp in top.groups:
            for it in grp.instances:
                if it.cls is None:
                    continue
                cn = it.cls.cname
                first = it.registry if it.registry is not None else next_free.get(cn, 0)
                it.first_registry = first
                for k in range(it.count):
                    key = (cn, first + k)
                    if key in used:
                        self.err(fname, join(it.path, "registry"),
                                 "%s instance %d already used by %s" % (cn, first + k, used[key]))
                        break
                    used[key] = it.path
                next_free[cn] = max(next_free.get(cn, 0), first + it.count)
                if it.is_array and it.stride < (it.cls.byte_size or 0):
                    self.err(fname, join(it.path, "stride"), "%s is less than the byte size %s of %s"
                             % (hexs(it.stride), hexs(it.cls.byte_size), cn))
        self.check_instance_windows(top)

    def check_instance_windows(self, top):
        """Every block instance's window lies below 2^64 and overlaps no other instance's."""
        fname = top.src
        spans = []
        for grp in top.groups:
            for it in grp.instances:
                if it.cls is None or not it.cls.byte_size:
                    continue
                last = it.base + (it.count - 1) * it.stride + it.cls.byte_size - 1
                if last >> 64:
                    self.err(fname, join(it.path, "base"), "instances reach %s, past 64-bit addresses"
                             % hexs(last))
                    continue
                if it.is_array and it.stride < it.cls.byte_size:
                    continue            # reported above
                for k in range(it.count):
                    lo = it.base + k * it.stride
                    name = "%s[%d]" % (it.name, k) if it.is_array else it.name
                    spans.append((lo, lo + it.cls.byte_size - 1, "%s.%s" % (grp.name, name), it.path))
        spans.sort()
        reach = None            # the span reaching highest so far
        for span in spans:
            lo, hi, name, path = span
            if reach is not None and lo <= reach[1]:
                self.err(fname, join(path, "base"), "%s %s..%s overlaps %s (%s..%s)"
                         % (name, hexs(lo), hexs(hi), reach[2], hexs(reach[0]), hexs(reach[1])))
            if reach is None or hi > reach[1]:
                reach = span
