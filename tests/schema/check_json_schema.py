#!/usr/bin/env python3
"""The JSON Schema that `korvane schema --json` prints, checked with python3-jsonschema.

    check_json_schema.py KORVANE SOURCE_DIR accepts-show-json
        The schema passes the draft 2020-12 meta-schema, and accepts what `korvane show --json`
        prints for every test fixture that loads, under a UTF-8 and a single-byte code page.
    check_json_schema.py KORVANE SOURCE_DIR CASE
        The schema accepts a description that build reads, and rejects it once CASE has
        changed it; or, for the cases named accepts-..., still accepts it. `korvane build`
        answers each case as the schema does, so the two cannot part.
"""
import copy
import glob
import json
import os
import subprocess
import sys
import tempfile

import jsonschema

# Every section, in the form show --json prints.
DESCRIPTION = {
    "reservedWords": [{"word": "[APPDIR]", "meaning": "Application folder"}],
    "config": [{"name": "PRODUCT", "value": "Sample"}],
    "files": [{
        "srcPath": "bin\\app.exe", "fileName": "app.exe", "folder": "[APPDIR]",
        "version": "1.0", "targetOs": "ALL", "shortcut": "DESKTOP", "displayName": "App",
        "iconIndex": -1, "selfReg": 0, "overwrite": 1, "fileSize": 40960, "realTime": 0,
        "reboot": 1,
    }],
    "registry": [{"regPath": "Software\\Sample", "key": "Path", "type": 1,
                  "value": "[APPDIR]", "action": 0}],
    "preKill": [{"className": "SampleWindow", "title": "Sample"}],
    "upKill": [],
    "preExecute": ["[APPDIR]prepare.exe"],
    "postExecute": [],
    "updateExecute": [],
    "deleteExecute": [],
}


def file_entry(description):
    return description["files"][0]


def nested(depth):
    value = []
    for _ in range(depth):
        value = [value]
    return value


# What each case changes; the faults that build refuses and a schema can express.
REJECTED = {
    "unknown-top-level-key": lambda d: d.update(file=d.pop("files")),
    "unknown-entry-key": lambda d: file_entry(d).update(fileNmae="app.exe"),
    "missing-entry-key": lambda d: file_entry(d).pop("fileName"),
    "flag-seven": lambda d: file_entry(d).update(selfReg=7),
    "flag-as-text": lambda d: file_entry(d).update(selfReg="1"),
    "text-too-wide": lambda d: file_entry(d).update(shortcut="STARTMENU_LONG"),
    "reserved-word-too-wide": lambda d: d["reservedWords"][0].update(word="[" + "W" * 300 + "]"),
    "command-too-wide": lambda d: d["preExecute"].append("x" * 2048),
    "number-beyond-32-bits": lambda d: file_entry(d).update(fileSize=2**31),
    "number-as-text": lambda d: file_entry(d).update(iconIndex="-1"),
    "number-with-fraction": lambda d: file_entry(d).update(overwrite=1.5),
    "text-as-number": lambda d: file_entry(d).update(version=1),
    "empty-configuration-name": lambda d: d["config"][0].update(name=""),
    "section-not-an-array": lambda d: d.update(upKill={}),
    "deep-nesting": lambda d: d.update(files=nested(100)),
}
ACCEPTED = {
    "accepts-schema-key": lambda d: d.update({"$schema": "setup.schema.json"}),
    "accepts-flags-as-booleans": lambda d: file_entry(d).update(selfReg=True, reboot=False),
    "accepts-missing-sections": lambda d: [d.pop(key) for key in list(d) if key != "files"],
    "accepts-widest-texts": lambda d: file_entry(d).update(shortcut="S" * 9, targetOs="T" * 19),
    "accepts-32-bit-extremes": lambda d: file_entry(d).update(iconIndex=-2**31, fileSize=2**31 - 1),
}


def korvane(*arguments, env=None):
    return subprocess.run([KORVANE, *arguments], capture_output=True, env=env)


def schema():
    printed = korvane("schema", "--json")
    assert printed.returncode == 0, printed.stderr
    loaded = json.loads(printed.stdout)
    jsonschema.Draft202012Validator.check_schema(loaded)
    return jsonschema.Draft202012Validator(loaded)


def errors(validator, instance):
    return [error.message for error in validator.iter_errors(instance)]


def build_status(description):
    """The exit status of `korvane build` on `description`, written as JSON."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "description.json")
        with open(source, "w", encoding="utf-8") as written:
            json.dump(description, written)
        return korvane("build", source, "-o", os.path.join(folder, "setup.xml")).returncode


def accepts_show_json(validator):
    fixtures = sorted(glob.glob(os.path.join(SOURCE, "fuzz/corpus/load_setup_file_fuzzer/*.xml")))
    fixtures.append(os.path.join(SOURCE, "examples/setup.xml"))
    shown = 0
    failed = False
    for locale in ("C.UTF-8", "en_US.CP1252"):
        env = dict(os.environ, LC_ALL=locale)
        for fixture in fixtures:
            printed = korvane("show", "--json", fixture, env=env)
            if printed.returncode != 0:
                continue  # a file that does not load has no JSON form
            shown += 1
            found = errors(validator, json.loads(printed.stdout))
            if found:
                print(f"{locale} {fixture}: {found}")
                failed = True
    # Fewer would mean that the fixtures were no longer found.
    assert shown >= 80, f"only {shown} fixture loads shown"
    assert not failed
    print(f"the schema accepts show --json of {shown} fixture loads")


def main():
    global KORVANE, SOURCE
    KORVANE, SOURCE, case = sys.argv[1], sys.argv[2], sys.argv[3]
    validator = schema()
    if case == "accepts-show-json":
        accepts_show_json(validator)
        return
    assert errors(validator, DESCRIPTION) == [], errors(validator, DESCRIPTION)
    assert build_status(DESCRIPTION) == 0, "build refuses the description every case starts from"
    description = copy.deepcopy(DESCRIPTION)
    if case in REJECTED:
        REJECTED[case](description)
        assert description != DESCRIPTION
        found = errors(validator, description)
        assert found, f"the schema accepts the {case} case: {description}"
        assert build_status(description) == 1, f"build does not refuse the {case} case"
        print(f"the schema and build reject the {case} case: {found[0][:200]}")
    elif case in ACCEPTED:
        ACCEPTED[case](description)
        found = errors(validator, description)
        assert not found, f"the schema rejects the {case} case: {found}"
        assert build_status(description) == 0, f"build refuses the {case} case"
        print(f"the schema and build accept the {case} case")
    else:
        sys.exit(f"no case {case}")


if __name__ == "__main__":
    main()
