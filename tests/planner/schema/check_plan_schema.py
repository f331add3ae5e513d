#!/usr/bin/env python3
"""Checks docs/plan.schema.json against the planner's plan reader.

    check_plan_schema.py SCHEMA PLANNER PLAN...

The schema must be a valid draft 2020-12 schema; each plan, and a few plans
made here from the sample, must be judged alike by the schema and by the
planner (exit status 2 for a plan it cannot use), except where a rule is one
that a schema cannot express: those plans the schema accepts and the planner
refuses, and the check holds them to exactly that.
"""
import concurrent.futures
import copy
import json
import os
import subprocess
import sys
import tempfile

from jsonschema import Draft202012Validator

# Plans whose fault lies beyond a schema: the rule, for the failure message.
BEYOND_A_SCHEMA = {
    "duplicate-id.json": "object ids are unique",
    "duplicate-folder.json": "no two folders share a full path",
    "resolve-unknown.json": "each resolve id names an object",
    "made-float-integer.json": "a number written with a fraction or exponent is no integer",
    "made-key-out-of-range.json": "a decimal key is a 32-bit integer",
    "made-key-twice.json": "a member is given once",
}


def schema_verdict(validator, path):
    """None when the schema accepts the plan, else why not."""
    try:
        with open(path, "rb") as file:
            plan = json.loads(file.read().decode("utf-8"))
    except (UnicodeDecodeError, ValueError) as error:
        return f"no JSON document: {error}"
    errors = sorted(validator.iter_errors(plan), key=lambda e: list(e.absolute_path))
    if not errors:
        return None
    return "; ".join(f"{'/'.join(map(str, e.absolute_path)) or '(plan)'}: {e.message}" for e in errors[:3])


def planner_verdict(planner, path):
    """None when the planner could use the plan, else its message."""
    run = subprocess.run(["wine", planner, path], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)
    message = run.stderr.decode("utf-8", "replace").strip()
    if run.returncode == 2:
        return message or "exit status 2"
    if run.returncode not in (0, 1):
        raise RuntimeError(f"{path}: the planner ended with status {run.returncode}: {message}")
    return None


def made_plans(sample, folder):
    """Plans made from the sample, each changing one thing; yields their paths."""
    def edit(name, change, text=None):
        plan = copy.deepcopy(sample)
        change(plan)
        path = os.path.join(folder, name)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text if text is not None else json.dumps(plan))
        return path

    yield edit("made-schema-named.json", lambda p: p.update({"$schema": "../docs/plan.schema.json"}))
    yield edit("made-schema-number.json", lambda p: p.update({"$schema": 5}))
    yield edit("made-unknown-top-field.json", lambda p: p.update({"comment": "x"}))
    yield edit("made-empty-id.json", lambda p: p["objects"][0].update({"id": ""}))
    yield edit("made-name-number.json", lambda p: p["objects"][0].update({"name": 7}))
    yield edit("made-negative-limit.json", lambda p: p["objects"][0].update({"subtype": -2147483648}))
    yield edit("made-below-limit.json", lambda p: p["objects"][0].update({"subtype": -2147483649}))
    yield edit("made-related-number.json", lambda p: p["objects"][1].update({"related": [1]}))
    yield edit("made-related-unknown.json", lambda p: p["objects"][1].update({"related": ["NO-SUCH-ID"]}))
    yield edit("made-category-key.json", lambda p: p.update({"categories": {"four": 4}}))
    yield edit("made-category-key-signed.json", lambda p: p.update({"categories": {"-5": 4}}))
    yield edit("made-unknown-rule-list.json", lambda p: p["rules"].update({"objects": []}))
    yield edit("made-rule-missing-action.json", lambda p: p["rules"]["type"][0].pop("action"))
    yield edit("made-log-without-level.json", lambda p: p["logs"][0].pop("level"))
    yield edit("made-log-without-file.json", lambda p: p["logs"][0].pop("file"))
    yield edit("made-action-name-number.json", lambda p: p["actionNames"].update({"1": 1}))
    yield edit("made-resolve-number.json", lambda p: p.update({"resolve": [1]}))
    yield edit("made-options-array.json", lambda p: p.update({"options": []}))
    text = json.dumps(sample).replace('"level": 2', '"level": 2.0', 1)
    yield edit("made-float-integer.json", lambda p: None, text)
    yield edit("made-key-out-of-range.json", lambda p: p.update({"categories": {"9999999999": 4}}))
    text = json.dumps(sample).replace('"objects": [', '"description": "again", "objects": [', 1)
    yield edit("made-key-twice.json", lambda p: None, text)


def main():
    schema_path, planner, plans = sys.argv[1], sys.argv[2], sys.argv[3:]
    with open(schema_path, encoding="utf-8") as file:
        schema = json.load(file)
    Draft202012Validator.check_schema(schema)
    validator = Draft202012Validator(schema)
    with open(plans[0], encoding="utf-8") as file:
        sample = json.load(file)

    passed = failed = 0
    with tempfile.TemporaryDirectory() as folder, concurrent.futures.ThreadPoolExecutor(4) as pool:
        paths = plans + list(made_plans(sample, folder))
        # Wine's start-up dominates each run, so a few run at once.
        verdicts = pool.map(lambda path: planner_verdict(planner, path), paths)
        for path, by_planner in zip(paths, verdicts):
            name = os.path.basename(path)
            by_schema = schema_verdict(validator, path)
            if name in BEYOND_A_SCHEMA:
                ok = by_schema is None and by_planner is not None
                expected = f"schema accepts, planner refuses ({BEYOND_A_SCHEMA[name]})"
            else:
                ok = (by_schema is None) == (by_planner is None)
                expected = "schema and planner agree"
            if ok:
                passed += 1
                print(f"ok   {name}: {'refused' if by_planner else 'accepted'}")
            else:
                failed += 1
                print(f"FAIL {name}: expected {expected}\n     schema: {by_schema or 'accepts'}\n"
                      f"     planner: {by_planner or 'accepts'}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
