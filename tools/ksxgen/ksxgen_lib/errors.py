"""Collection of validation errors: every error names the file, the path inside the
document and the reason, and all of them are reported before the generator stops."""


class ErrorList:
    """Ordered list of 'file: path: reason' lines."""

    def __init__(self):
        self.lines = []

    def add(self, fname, path, reason):
        if path:
            self.lines.append("%s: %s: %s" % (fname, path, reason))
        else:
            self.lines.append("%s: %s" % (fname, reason))

    def __bool__(self):
        return bool(self.lines)

    def __len__(self):
        return len(self.lines)


def join(path, key):
    """Document path of `key` (a mapping key or a list index) below `path`."""
    if isinstance(key, int):
        return "%s[%d]" % (path, key)
    return "%s.%s" % (path, key) if path else str(key)
