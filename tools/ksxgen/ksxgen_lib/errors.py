"""Collection of validation errors: every error names the file, the path inside the
document and the reason, and all of them are counted before the generator stops. Only the
first LIMIT are kept and printed; the rest are counted ("... and N more")."""

LIMIT = 50


class ErrorList:
    """Ordered list of 'file: path: reason' lines; the first `limit` are kept, all are counted."""

    def __init__(self, limit=LIMIT):
        self.lines = []
        self.count = 0
        self.limit = limit

    def add(self, fname, path, reason):
        self.count += 1
        if len(self.lines) >= self.limit:
            return
        line = "%s: %s: %s" % (fname, path, reason) if path else "%s: %s" % (fname, reason)
        # One line whatever the input held: line breaks and other control characters escaped.
        self.lines.append("".join(c if c.isprintable() else repr(c)[1:-1] for c in line))

    def report(self):
        """The lines to print: the kept errors, then how many more there were."""
        more = self.count - len(self.lines)
        return self.lines + (["... and %d more" % more] if more else [])

    def __bool__(self):
        return self.count > 0

    def __len__(self):
        return self.count


def join(path, key):
    """Document path of `key` (a mapping key or a list index) below `path`."""
    if isinstance(key, int):
        return "%s[%d]" % (path, key)
    return "%s.%s" % (path, key) if path else str(key)
