#!/usr/bin/env python3
"""Runs taloqlint in its four formats on one broken project (a parse error, a
checker warning, a file that cannot be opened, a finding of four rules) and
checks each: the text and GitHub lines exactly, the JSON array and the SARIF
log field by field, SARIF for what code scanning requires. Writes nothing."""

import json
import os
import re
import subprocess
import sys

PROJECT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "broken")

# file, line, severity, message, rule: the checker's lines first, in the
# order printed, then the findings by file (in load order) and line.
EXPECTED = [
    ("shop.tlq", 4, "error", "Integer 'count' missing constraint", None),
    ("shop.tlqcfg", 2, "warning", "Unable to locate item: Order.quantty", None),
    (None, None, "error", "Unable to open file: missing.tlq", None),
    ("shop.tlq", 5, "warning",
     "range 999..1 of quantity is empty: its lower bound is above its upper bound",
     "impossible-bounds"),
    ("shop.tlq", 7, "warning", "member price is declared twice in Order (first at line 6)",
     "duplicate-name"),
    ("shop.tlqcfg", 1, "warning",
     "configuration line ignored: -prefx is no directive; did you mean -prefix?",
     "configuration"),
    ("shop.tlqcfg", 2, "warning",
     "item path Order.quantty names nothing: Order has no member named quantty; "
     "did you mean quantity?", "configuration"),
    ("money.tlq", 2, "warning",
     "5000000000 is above 4294967295, the largest bound, and is read as 4294967295",
     "clamped-number"),
]

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(program, fmt):
    done = subprocess.run([program, "--format=" + fmt, "shop.tlqprj"], cwd=PROJECT,
                          capture_output=True, text=True, check=False)
    check(done.returncode == 1, f"{fmt}: exit status {done.returncode}, expected 1")
    check(done.stderr == "", f"{fmt}: standard error not empty: {done.stderr!r}")
    return done.stdout


def check_text(output):
    expected = []
    for file, line, severity, message, rule in EXPECTED:
        place = f"{file}({line}) : " if file else ""
        expected.append(f"{place}{severity}: {message}" + (f" [{rule}]" if rule else ""))
    expected.append("2 error(s), 6 warning(s)")
    check(output.splitlines() == expected,
          "text: lines differ:\n" + output + "\nexpected:\n" + "\n".join(expected))


def check_github(output):
    def escape(value):
        return value.replace("%", "%25").replace(":", "%3A").replace(",", "%2C")

    expected = []
    for file, line, severity, message, rule in EXPECTED:
        properties = []
        if file:
            properties += [f"file={escape(file)}", f"line={line}"]
        if rule:
            properties.append(f"title={rule}")
        expected.append(f"::{severity}" + (" " + ",".join(properties) if properties else "")
                        + "::" + message)
    check(output.splitlines() == expected,
          "github: lines differ:\n" + output + "\nexpected:\n" + "\n".join(expected))


def check_json(output):
    entries = json.loads(output)
    check(isinstance(entries, list), "json: not an array")
    check(len(entries) == len(EXPECTED), f"json: {len(entries)} entries, expected {len(EXPECTED)}")
    for index, (entry, expected) in enumerate(zip(entries, EXPECTED)):
        check(set(entry) == {"file", "line", "severity", "message", "rule"},
              f"json[{index}]: members {sorted(entry)}")
        actual = tuple(entry.get(key) for key in ("file", "line", "severity", "message", "rule"))
        check(actual == expected, f"json[{index}]: {actual}, expected {expected}")


def check_sarif(program, output):
    log = json.loads(output)
    check(log.get("version") == "2.1.0", "sarif: version is not 2.1.0")
    check("sarif-2.1.0" in log.get("$schema", ""), "sarif: no 2.1.0 $schema")
    runs = log.get("runs", [])
    check(len(runs) == 1, f"sarif: {len(runs)} runs, expected 1")
    if not runs:
        return
    driver = runs[0].get("tool", {}).get("driver", {})
    check(driver.get("name") == "taloqlint", "sarif: tool.driver.name is not taloqlint")
    rules = driver.get("rules", [])
    ids = [rule.get("id") for rule in rules]
    # The checker's own rule, then the rules as --rules lists them.
    listed = subprocess.run([program, "--rules"], capture_output=True, text=True,
                            check=False).stdout.splitlines()
    expected_rules = [("checker", "error", "an error or warning of the checker, taloqchk")]
    expected_rules += [tuple(re.split(r"  +", line, maxsplit=2)) for line in listed]
    given_rules = [(rule.get("id"), rule.get("defaultConfiguration", {}).get("level"),
                    rule.get("shortDescription", {}).get("text")) for rule in rules]
    check(given_rules == expected_rules, f"sarif: rules {given_rules}")
    results = runs[0].get("results", [])
    check(len(results) == len(EXPECTED), f"sarif: {len(results)} results, expected {len(EXPECTED)}")
    for index, (result, expected) in enumerate(zip(results, EXPECTED)):
        file, line, severity, message, rule = expected
        where = f"sarif results[{index}]"
        check(result.get("ruleId") == (rule or "checker"), f"{where}: ruleId {result.get('ruleId')}")
        check(result.get("ruleId") in ids, f"{where}: ruleId is not among the tool's rules")
        index_given = result.get("ruleIndex")
        check(index_given is not None and 0 <= index_given < len(ids)
              and ids[index_given] == result.get("ruleId"), f"{where}: ruleIndex {index_given}")
        check(result.get("level") == severity, f"{where}: level {result.get('level')}")
        check(result.get("message", {}).get("text") == message, f"{where}: message.text")
        locations = result.get("locations", [])
        check(len(locations) >= 1, f"{where}: no location")
        if not locations:
            continue
        physical = locations[0].get("physicalLocation", {})
        # A diagnostic without a file stands at the top of the main source.
        check(physical.get("artifactLocation", {}).get("uri") == (file or "shop.tlqprj"),
              f"{where}: artifactLocation.uri {physical.get('artifactLocation')}")
        check(physical.get("region", {}).get("startLine") == (line or 1),
              f"{where}: region.startLine {physical.get('region')}")


def main():
    program = sys.argv[1]
    check_text(run(program, "text"))
    check_github(run(program, "github"))
    check_json(run(program, "json"))
    check_sarif(program, run(program, "sarif"))
    for failure in failures:
        print(failure)
    if failures:
        return 1
    print("taloqlint formats: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
