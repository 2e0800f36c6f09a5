"""Reads and works the windows of a running program from outside it, through
windowinspector.exe started in the same prefix. Every start of the inspector costs a
Wine process start, so a call takes several commands at once."""

import json

import bench


class InspectorError(AssertionError):
    pass


class Inspector:
    def __init__(self, prefix, process="exe:dialogdriver.exe"):
        self.prefix = prefix
        self.process = process
        self.program = prefix.put(bench.driver("windowinspector"), r"C:\bench\windowinspector.exe")

    def run(self, *commands, check=True):
        """Runs the commands (each a list of words) in one start of the inspector and
        answers their results, one dict each. With `check`, a failed command raises."""
        args = [self.process]
        for i, command in enumerate(commands):
            if i:
                args.append("+")
            args.extend(str(word) for word in command)
        _, out = self.prefix.run_console(self.program, args, timeout=180)
        results = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
        if len(results) != len(commands):
            raise InspectorError("the inspector answered %d of %d commands: %r" % (len(results), len(commands), out))
        if check:
            for command, result in zip(commands, results):
                if not result["ok"]:
                    raise InspectorError("%s: %s" % (" ".join(map(str, command)), result.get("error")))
        return results

    def windows(self, *before):
        """Runs `before`, then answers the program's visible top-level windows."""
        results = self.run(*before, ["list"])
        return [w for w in results[-1]["windows"] if w["visible"]]

    def window(self, selector="active", *before, then=(), timeout=60):
        """Runs `before`, waits for a window (see windowinspector.exe's selectors), lists
        it, runs `then`, and answers the window as listed."""
        results = self.run(*before, ["wait", selector, int(timeout * 1000)], ["list"], *then)
        return pick(results[len(before) + 1]["windows"], selector)


def pick(windows, selector="active"):
    """The window that the inspector's selector names in a listing."""
    for window in windows:
        if not window["visible"]:
            continue
        if selector == "active" and window["enabled"]:
            return window
        if selector.startswith("title:") and window["text"] == selector[6:]:
            return window
        if selector.startswith("class:") and window["class"] == selector[6:]:
            return window
        ids = [child["id"] for child in window["children"]]
        if selector.startswith("box:") and window["text"] == selector[4:] and 0xFFFF in ids:
            return window
        if selector.startswith("has:") and int(selector[4:]) in ids:
            return window
    raise InspectorError("no window %s in %r" % (selector, [(w["class"], w["text"]) for w in windows]))


def control(window, control_id):
    """The child of the window with this id."""
    for child in window["children"]:
        if child["id"] == control_id:
            return child
    raise InspectorError("no control %d in %s" % (control_id, window["text"]))


def box_text(window):
    """The text of a message box."""
    return control(window, 0xFFFF)["text"]


def texts(window):
    """{id: text} of the window's children, and its caption under 0."""
    found = {child["id"]: child["text"] for child in window["children"]}
    found[0] = window["text"]
    return found
