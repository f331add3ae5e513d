#!/usr/bin/env python3
"""The merge planner's rules in plain Python, without COM: the baseline that
bench/planner-bench.sh measures beside the planner on the same plan.

    planner_model.py PLAN [--actions]

Reads the plan, builds the inventory, holds the rules (the first rule for a key
wins), expands the folder rules (folders ordered by their relations, the last
level first; an object rule is never replaced), then finds each object's
action: the object rule for its id when the rule's type is the object's type or
subtype, the type rule for its subtype, for its type, the category rule for the
type's category, else the category's default (5 for categories 1 to 3, else 1).
Prints "timing: PHASE SECONDS" lines on standard error; with --actions, the
number of objects per action on standard output, to compare with the planner."""

import json
import sys
import time


def default_category(type_code):
    return type_code // 100 if 100 <= type_code <= 399 else 0


def main():
    path = sys.argv[1]
    started = last = time.perf_counter()
    phases = []

    def phase(name):
        nonlocal last
        now = time.perf_counter()
        phases.append((name, now - last))
        last = now

    with open(path, "rb") as file:
        plan = json.loads(file.read())
    phase("reading")

    objects = plan["objects"]
    by_id = {}
    contents = {}  # folder path -> objects directly in it
    folders = {}  # full path -> folder object
    for obj in objects:
        by_id.setdefault(obj["id"], obj)
        parent = obj.get("folder", "")
        contents.setdefault(parent, []).append(obj)
        if obj["type"] == 8:
            folders.setdefault(parent + "\\" + obj.get("name", obj["id"]), obj)
    categories = {int(k): v for k, v in plan.get("categories", {}).items()}
    phase("inventory")

    rules = plan.get("rules", {})
    category_rules, type_rules, object_rules, folder_rules = {}, {}, {}, {}
    for rule in rules.get("category", []):
        category_rules.setdefault(rule["category"], rule["action"])
    for rule in rules.get("type", []):
        type_rules.setdefault(rule["type"], rule["action"])
    for rule in rules.get("object", []):
        object_rules.setdefault(rule["id"], (rule["type"], rule["action"]))
    for rule in rules.get("folder", []):
        folder_rules.setdefault(rule["path"], rule["action"])
    phase("rules")

    # The folders found, in rule order, then ordered by their relations: a
    # folder that another one names goes to a later level.
    found = [folders[p] for p in folder_rules if p in folders]
    in_list = {id(f) for f in found}
    level = {id(f): 0 for f in found}
    for _ in range(len(found) + 1):
        moved = False
        for f in found:
            for related in f.get("related", []):
                target = by_id.get(related)
                if target is not None and id(target) in in_list and level[id(target)] <= level[id(f)]:
                    level[id(target)] = level[id(f)] + 1
                    moved = True
        if not moved:
            break
    for f in sorted(found, key=lambda f: -level[id(f)]):
        action = folder_rules[f.get("folder", "") + "\\" + f.get("name", f["id"])]
        object_rules.setdefault(f["id"], (8, action))
        for item in contents.get(f.get("folder", "") + "\\" + f.get("name", f["id"]), []):
            object_rules.setdefault(item["id"], (item["type"], action))
    phase("folders")

    resolve = [by_id[i] for i in plan["resolve"]] if "resolve" in plan else objects
    actions = []
    for obj in resolve:
        type_code, subtype = obj["type"], obj.get("subtype", 0)
        rule = object_rules.get(obj["id"])
        if rule is not None and rule[0] in (type_code, subtype):
            actions.append(rule[1])
        elif subtype in type_rules:
            actions.append(type_rules[subtype])
        elif type_code in type_rules:
            actions.append(type_rules[type_code])
        else:
            category = categories.get(type_code, default_category(type_code))
            if category in category_rules:
                actions.append(category_rules[category])
            else:
                actions.append(5 if 1 <= category <= 3 else 1)
    phase("lookups")

    counts = {}
    for action in actions:
        counts[action] = counts.get(action, 0) + 1
    phase("report")

    for name, seconds in phases:
        print(f"timing: {name} {seconds:.3f}", file=sys.stderr)
    print(f"timing: total {time.perf_counter() - started:.3f}", file=sys.stderr)
    if "--actions" in sys.argv:
        for action in sorted(counts):
            print(f"{action}: {counts[action]}")


if __name__ == "__main__":
    main()
