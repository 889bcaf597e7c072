#!/usr/bin/env python3
"""Generates both halves of what passes between the page and the program from boundary.json:

- schema.mjs: the enums (read from the C++ headers that define them) and constants the page
  names, each enum strict, so that a name the program does not have throws;
- binding.mjs: ProgramCalls, the page's side of every call, taking records with named fields
  and checking at start that the program exports each call with as many numbers as it passes;
- PageBoundary.h: the records that are the page's own, what the web host answers itself, the
  program's imports as typed functions, and a writer of each record the program hands over;
- PageRecords.cpp: those writers, and static_asserts that fail the build where an enum, the
  command variant or a constant would disagree with its C++ definition;
- PageExports.cpp: the program's exports, each turning numbers back into its records and
  enums (an enum out of range is ignored), making the session's or the host's call, and
  handing its answer back as a number, text or JSON.

A field renamed on one side fails the other: in C++, a member the writers or the designated
initializers name and no longer find does not compile; in JavaScript, a record the page
passes without a field throws.

Usage: make_boundary.py --description boundary.json --headers DIR --out DIR
  DIR for headers: the folder holding each layer (its include/ folders), as "in" names them.
"""
import argparse
import json
import pathlib
import re
import sys

SCALARS = {"number", "bool", "text"}


def fail(message):
    sys.exit(f"make_boundary.py: {message}")


def short(name):
    return name.split("::")[-1]


def capitalized(name):
    return name[0].upper() + name[1:]


def header_path(headers, include):
    return headers / include.split("/")[0] / "include" / include


def names_of_enum(text, name):
    match = re.search(r"enum\s+class\s+" + re.escape(name) + r"\b[^{;]*\{([^}]*)\}", text)
    if not match:
        fail(f"no enum class {name}")
    names = []
    for entry in re.sub(r"//[^\n]*", "", match.group(1)).split(","):
        entry = entry.strip()
        if not entry:
            continue
        if not re.fullmatch(r"[A-Za-z_]\w*", entry):
            fail(f"{name}::{entry}: only enumerators numbered in order are shared")
        names.append(entry)
    return names


def value_of_constant(text, name):
    """A constant's value as C++ writes it: a number, or a string in double quotes."""
    match = re.search(
        r"inline\s+constexpr\s+[\w:*\s]+?\b" + re.escape(name) + r'\s*=\s*([0-9.]+|"[^"\\]*")\s*;',
        text,
    )
    if not match:
        fail(f"no inline constexpr number or string {name}")
    return match.group(1)


class Boundary:
    def __init__(self, description, headers):
        self.description = description
        self.headers = headers
        self.enums = {}  # C++ name: enumerator names
        for enum in description["enums"]:
            text = header_path(headers, enum["in"]).read_text()
            self.enums[enum["name"]] = names_of_enum(text, short(enum["name"]))
        self.records = description["records"]
        self.variants = description["variants"]
        self.lists = description["lists"]

    # Types

    def kind(self, type_name):
        """What a type is: scalar, enum, record, variant, list, optional, places."""
        if type_name in SCALARS or type_name == "places":
            return type_name
        if type_name.startswith("optional "):
            return "optional"
        if type_name.startswith("list "):
            return "list"
        for kind, table in (
            ("enum", self.enums),
            ("record", self.records),
            ("variant", self.variants),
            ("named list", self.lists),
        ):
            if type_name in table:
                return kind
        fail(f"no type {type_name}")

    def cpp_type(self, type_name):
        kind = self.kind(type_name)
        if kind == "number":
            return "CGFloat"
        if kind == "bool":
            return "bool"
        if kind == "text":
            return "std::string"
        if kind == "enum":
            return type_name
        if kind == "record":
            return self.records[type_name].get("cpp", f"Page{type_name}")
        if kind in ("variant", "named list"):
            return (self.variants | self.lists)[type_name]["cpp"]
        fail(f"{type_name} cannot be a C++ member of a record the page passes")

    # The page's records, in C++

    def own_records(self):
        return {name: record for name, record in self.records.items() if "cpp" not in record}

    def record_declarations(self):
        lines = []
        for name, record in self.own_records().items():
            if "about" in record:
                lines.append(f"// {record['about']}")
            lines.append(f"struct Page{name} {{")
            for field in record["fields"]:
                cpp = self.cpp_type(field[1])
                initial = " = 0" if cpp == "CGFloat" else (" = false" if cpp == "bool" else "")
                lines.append(f"    {cpp} {field[0]}{initial};")
            lines += ["};", ""]
        return lines

    def handed_over(self):
        """The records, variants and lists the program hands the page, and those inside them."""
        found = []

        def visit(type_name):
            kind = self.kind(type_name)
            if kind in ("optional", "list"):
                visit(type_name.split(" ", 1)[1])
            elif kind in ("record", "variant", "named list") and type_name not in found:
                found.append(type_name)
                if kind == "record":
                    for field in self.records[type_name]["fields"]:
                        visit(field[1])
                elif kind == "variant":
                    for alternative in self.variants[type_name]["alternatives"]:
                        visit(alternative)
                else:
                    visit(self.lists[type_name]["of"])

        for call in self.description["calls"]:
            if call["returns"] not in ("none", "never"):
                visit(call["returns"])
        return found

    def writer_declarations(self):
        lines = []
        for name in self.handed_over():
            lines.append(f"void writeRecord(Json& json, const {self.cpp_type(name)}& record);")
        return lines

    # JSON writers

    def write_value(self, type_name, expression, depth=1):
        """C++ statements writing a value after its key."""
        indent = "    " * depth
        kind = self.kind(type_name)
        if kind == "number":
            return [f"{indent}json.number({expression});"]
        if kind == "bool":
            return [f"{indent}json.boolean({expression});"]
        if kind == "text":
            return [f"{indent}json.string({expression});"]
        if kind == "enum":
            return [f"{indent}json.number(static_cast<int>({expression}));"]
        if kind in ("record", "variant", "named list"):
            return [f"{indent}writeRecord(json, {expression});"]
        if kind == "optional":
            inner = type_name[len("optional ") :]
            return (
                [f"{indent}if ({expression})"]
                + self.write_value(inner, f"*{expression}", depth + 1)
                + [f"{indent}else", f"{indent}    json.null();"]
            )
        if kind == "list":
            inner = type_name[len("list ") :]
            return (
                [f"{indent}json.beginArray();", f"{indent}for (const auto& item : {expression})"]
                + self.write_value(inner, "item", depth + 1)
                + [f"{indent}json.endArray();"]
            )
        fail(f"{type_name} is not handed to the page")

    def writer_definitions(self):
        handed_over = self.handed_over()
        records = {name: r for name, r in self.records.items() if name in handed_over}
        lines = ["namespace {", ""]
        for name, record in records.items():
            cpp = self.cpp_type(name)
            unused = "" if record["fields"] else "[[maybe_unused]] "
            lines.append(f"void writeFields({unused}Json& json, {unused}const {cpp}& record) {{")
            for field in record["fields"]:
                member = field[2] if len(field) > 2 else field[0]
                lines.append(f'    json.key("{field[0]}");')
                lines += self.write_value(field[1], f"record.{member}")
            lines += ["}", ""]
        lines += ["} // namespace", ""]
        for name in records:
            cpp = self.cpp_type(name)
            lines += [
                f"void writeRecord(Json& json, const {cpp}& record) {{",
                "    json.beginObject();",
                "    writeFields(json, record);",
                "    json.endObject();",
                "}",
                "",
            ]
        for name, variant in self.variants.items():
            lines += [
                f"void writeRecord(Json& json, const {variant['cpp']}& record) {{",
                "    json.beginObject();",
                '    json.key("kind").number(static_cast<double>(record.index()));',
                "    std::visit([&](const auto& alternative) { writeFields(json, alternative); },"
                " record);",
                "    json.endObject();",
                "}",
                "",
            ]
        for name, named in self.lists.items():
            lines += [f"void writeRecord(Json& json, const {named['cpp']}& record) {{"]
            lines += self.write_value(f"list {named['of']}", "record")
            lines += ["}", ""]
        return lines

    def checks(self):
        lines = []
        for name, names in self.enums.items():
            for index, enumerator in enumerate(names):
                lines.append(f"static_assert(static_cast<int>({name}::{enumerator}) == {index});")
        for name, variant in self.variants.items():
            cpp = variant["cpp"]
            for index, alternative in enumerate(variant["alternatives"]):
                lines.append(
                    f"static_assert(std::is_same_v<std::variant_alternative_t<{index}, {cpp}>, "
                    f"{self.cpp_type(alternative)}>);"
                )
            lines.append(
                f"static_assert(std::variant_size_v<{cpp}> == {len(variant['alternatives'])});"
            )
        for constant in self.description["constants"]:
            value = self.constant_value(constant)
            compared = (
                f"std::string_view({constant['name']})"
                if value.startswith('"')
                else constant["name"]
            )
            lines.append(f"static_assert({compared} == {value});")
        return lines

    def constant_value(self, constant):
        text = header_path(self.headers, constant["in"]).read_text()
        return value_of_constant(text, short(constant["name"]))

    # Calls: the numbers each argument travels as

    def flattened(self, type_name, name):
        """[(parameter name, C++ parameter type)] an argument travels as, and the C++ value it
        is turned back into."""
        kind = self.kind(type_name)
        if kind == "number":
            return [(name, "double")], name
        if kind == "bool":
            return [(name, "int")], f"{name} != 0"
        if kind == "enum":
            return [(name, "int")], f"static_cast<{type_name}>({name})"
        if kind == "record":
            record = self.records[type_name]
            parameters, members = [], []
            for field in record["fields"]:
                member = field[2] if len(field) > 2 else field[0]
                if "." in member:
                    fail(f"{type_name}.{field[0]}: a record the page passes names its own members")
                inner, value = self.flattened(field[1], name + capitalized(field[0]))
                parameters += inner
                members.append(f".{member} = {value}")
            return parameters, f"{self.cpp_type(type_name)}{{{', '.join(members)}}}"
        fail(f"{type_name} cannot be passed as numbers")

    def enum_arguments(self, type_name, name):
        """(parameter, enumerator count) for each enum among the numbers an argument is."""
        kind = self.kind(type_name)
        if kind == "enum":
            return [(name, len(self.enums[type_name]))]
        if kind == "record":
            found = []
            for field in self.records[type_name]["fields"]:
                found += self.enum_arguments(field[1], name + capitalized(field[0]))
            return found
        return []

    def buffer_argument(self, call):
        """The one argument that travels through the input buffer (text or places), if any."""
        buffered = [a for a in call["arguments"] if a[1] in ("text", "places")]
        if len(buffered) > 1:
            fail(f"{call['name']}: one text or places a call, through the input buffer")
        return buffered[0] if buffered else None

    RETURNS = {"none": "void", "bool": "int", "number": "double", "never": "void"}

    def cpp_return(self, type_name):
        if type_name in self.RETURNS:
            return self.RETURNS[type_name]
        if type_name == "optional number":
            return "double"
        if self.kind(type_name) == "enum":
            return "int"
        return "const char*"

    def host_return(self, type_name):
        """What the host's own C++ function returns."""
        if type_name in ("none", "never"):
            return "void"
        if type_name == "bool":
            return "bool"
        if type_name == "number":
            return "double"
        if type_name == "optional number":
            return "std::optional<double>"
        if type_name == "text":
            return "std::string"
        if type_name.startswith("optional "):
            return f"std::optional<{self.cpp_type(type_name[len('optional '):])}>"
        return self.cpp_type(type_name)

    def answer(self, type_name, expression):
        """The C++ statement handing the call's answer back."""
        if type_name == "none":
            return f"    {expression};"
        if type_name in ("bool", "number"):
            return f"    return {expression};"
        if type_name == "optional number":
            return (
                f"    const auto answer = {expression};\n"
                "    return answer ? *answer : std::numeric_limits<double>::quiet_NaN();"
            )
        if self.kind(type_name) == "enum":
            return f"    return static_cast<int>({expression});"
        if type_name == "text":
            return f"    return reply({expression});"
        if type_name.startswith("optional "):
            return (
                f"    const auto answer = {expression};\n"
                "    return answer ? reply(pageJson(*answer)) : nullptr;"
            )
        return f"    return reply(pageJson({expression}));"

    def export_name(self, call):
        return "web" + capitalized(call["name"])

    def parameters_of(self, call):
        parameters = []
        for name, type_name in call["arguments"]:
            if type_name not in ("text", "places"):
                parameters += self.flattened(type_name, name)[0]
        return parameters

    def export_definition(self, call):
        self.buffer_argument(call)
        parameters = self.parameters_of(call)
        returns = self.cpp_return(call["returns"])
        ignored = "return;" if returns == "void" else "return 0;"
        signature = ", ".join(f"{kind} {name}" for name, kind in parameters)
        lines = [
            f"// {call['about']}",
            f'extern "C" __attribute__((export_name("{self.export_name(call)}"))) {returns}',
            f"{self.export_name(call)}({signature}) {{",
        ]
        values = []
        for name, type_name in call["arguments"]:
            for parameter, count in self.enum_arguments(type_name, name):
                lines += [
                    f"    if ({parameter} < 0 || {parameter} >= {count})",
                    f"        {ignored}",
                ]
            if type_name == "text":
                values.append("std::string_view(input())")
            elif type_name == "places":
                lines += [
                    f"    const auto {name} = placesInInput();",
                    f"    if (!{name})",
                    f"        {ignored}",
                ]
                values.append(f"*{name}")
            else:
                values.append(self.flattened(type_name, name)[1])
        target = "PageHost::session()." if call["to"] == "session" else "PageHost::"
        lines.append(self.answer(call["returns"], f"{target}{call['name']}({', '.join(values)})"))
        lines += ["}", ""]
        return lines

    def host_declarations(self):
        lines = ["namespace PageHost {", "", "// The session the page's calls go to, once running."]
        lines.append("UIHostSession& session();")
        for call in self.description["calls"]:
            if call["to"] != "host":
                continue
            arguments = []
            for name, type_name in call["arguments"]:
                kind = self.kind(type_name)
                if kind in ("record",):
                    arguments.append(f"const {self.cpp_type(type_name)}& {name}")
                elif type_name == "text":
                    arguments.append(f"std::string_view {name}")
                elif type_name == "places":
                    arguments.append(f"const std::vector<std::size_t>& {name}")
                else:
                    arguments.append(f"{self.flattened(type_name, name)[0][0][1]} {name}")
            lines += [
                f"// {call['about']}",
                f"{self.host_return(call['returns'])} {call['name']}({', '.join(arguments)});",
            ]
        lines += ["", "} // namespace PageHost", ""]
        return lines

    def import_parameters(self, entry):
        parameters = []
        for name, type_name in entry["arguments"]:
            if type_name == "text":
                parameters += [(name, "const char*"), (name + "Length", "int")]
            else:
                parameters += self.flattened(type_name, name)[0]
        return parameters

    def import_declarations(self):
        lines = ["// What the page gives the program.", "namespace PageImports {", ""]
        for entry in self.description["imports"]:
            arguments = []
            for name, type_name in entry["arguments"]:
                cpp = "std::string_view" if type_name == "text" else self.cpp_type(type_name)
                arguments.append(f"{cpp} {name}")
            returns = self.host_return(entry["returns"])
            never = "[[noreturn]] " if entry["returns"] == "never" else ""
            lines += [
                f"// {entry['about']}",
                f"{never}{returns} {entry['name']}({', '.join(arguments)});",
            ]
        lines += ["", "} // namespace PageImports", ""]
        return lines

    def import_definitions(self):
        lines = []
        for entry in self.description["imports"]:
            parameters = self.import_parameters(entry)
            raw = "page" + capitalized(entry["name"])
            never = "[[noreturn]] " if entry["returns"] == "never" else ""
            signature = ", ".join(f"{kind} {name}" for name, kind in parameters)
            lines += [
                f'extern "C" {never}__attribute__((import_module("platform"), '
                f'import_name("{entry["name"]}"))) {self.cpp_return(entry["returns"])}',
                f"{raw}({signature});",
                "",
            ]
            arguments, values = [], []
            for name, type_name in entry["arguments"]:
                if type_name == "text":
                    arguments.append(f"std::string_view {name}")
                    values += [f"{name}.data()", f"static_cast<int>({name}.size())"]
                else:
                    arguments.append(f"{self.cpp_type(type_name)} {name}")
                    kind = self.kind(type_name)
                    values.append(f"static_cast<int>({name})" if kind == "enum" else name)
            returns = self.host_return(entry["returns"])
            body = f"{raw}({', '.join(values)});"
            lines += [
                f"{never}{returns} PageImports::{entry['name']}({', '.join(arguments)}) {{",
                f"    {'' if returns == 'void' else 'return '}{body}",
                "}",
                "",
            ]
        return lines

    # The page's side

    def js_arguments(self, type_name, expression):
        """The JavaScript expressions an argument's numbers are."""
        kind = self.kind(type_name)
        if kind == "bool":
            return [f"{expression} ? 1 : 0"]
        if kind in ("number", "enum"):
            return [expression]
        if kind == "record":
            values = []
            for field in self.records[type_name]["fields"]:
                read = f"recordField({expression}, '{field[0]}', '{type_name}')"
                values += self.js_arguments(field[1], read)
            return values
        fail(f"{type_name} cannot be passed as numbers")

    def js_answer(self, type_name, expression):
        if type_name == "none":
            return f"    {expression};"
        if type_name == "bool":
            return f"    return {expression} !== 0;"
        if type_name == "optional number":
            return (
                f"    const answer = {expression};\n"
                "    return Number.isNaN(answer) ? null : answer;"
            )
        if type_name == "number" or self.kind(type_name) == "enum":
            return f"    return {expression};"
        if type_name == "text":
            return f"    return this.text({expression});"
        if type_name.startswith("optional "):
            return (
                f"    const json = this.text({expression});\n"
                "    return json === null ? null : JSON.parse(json);"
            )
        return f"    return JSON.parse(this.text({expression}));"

    def js_call(self, call):
        names = [name for name, _ in call["arguments"]]
        lines = [f"  // {call['about']}", f"  {call['name']}({', '.join(names)}) {{"]
        lines.append(f"    expectArguments('{call['name']}', arguments, {len(names)});")
        values = []
        for name, type_name in call["arguments"]:
            if type_name == "text":
                lines.append(f"    this.passText({name});")
            elif type_name == "places":
                lines.append(f"    this.passPlaces({name});")
            else:
                values += self.js_arguments(type_name, name)
        lines.append(
            self.js_answer(
                call["returns"], f"this.exports.{self.export_name(call)}({', '.join(values)})"
            )
        )
        lines.append("  }")
        return lines

    def js_imports(self):
        lines = [
            "  // What the program imports from the page, made from what the page does:",
            "  // handlers has a function of each name, taking what it takes here.",
            "  static imports(memory, handlers) {",
            "    return {",
        ]
        for entry in self.description["imports"]:
            parameters = [name for name, _ in self.import_parameters(entry)]
            values = []
            for name, type_name in entry["arguments"]:
                if type_name == "text":
                    bytes = f"new Uint8Array(memory().buffer, {name}, {name}Length)"
                    values.append(f"bindingDecoder.decode({bytes})")
                else:
                    values.append(name)
            lines.append(
                f"      {entry['name']}: ({', '.join(parameters)}) => "
                f"handlers.{entry['name']}({', '.join(values)}),"
            )
        lines += ["    };", "  }"]
        return lines

    def arities(self):
        counts = {"webInputBuffer": 1}
        for call in self.description["calls"]:
            counts[self.export_name(call)] = len(self.parameters_of(call))
        return counts


def schema_js(boundary):
    lines = [
        "// The schema the page shares with the program, generated from boundary.json and the",
        "// program's C++ definitions by make_boundary.py. A name the program does not have is an",
        "// error, not undefined.",
        "function strict(name, values) {",
        "  return new Proxy(Object.freeze(values), {",
        "    get(target, key) {",
        "      if (typeof key === 'string' && !(key in target)) {",
        "        throw new Error(`${name} has no ${key}`);",
        "      }",
        "      return target[key];",
        "    },",
        "  });",
        "}",
        "",
    ]
    tables = [(short(name), names) for name, names in boundary.enums.items()]
    tables += [(name + "Kind", v["alternatives"]) for name, v in boundary.variants.items()]
    for name, names in tables:
        values = ", ".join(f"{enumerator}: {index}" for index, enumerator in enumerate(names))
        lines.append(f"export const {name} = strict('{name}', {{ {values} }});")
    for constant in boundary.description["constants"]:
        lines.append(
            f"export const {short(constant['name'])} = {boundary.constant_value(constant)};"
        )
    return lines


BINDING_PREAMBLE = """\
// The page's side of every call it makes to the program, generated from boundary.json by
// make_boundary.py; the program's side is generated from the same description.
const bindingEncoder = new TextEncoder();
const bindingDecoder = new TextDecoder();

function recordField(record, name, type) {
  const value = record?.[name];
  if (value === undefined) throw new Error(`a ${type} without its ${name}`);
  return value;
}

function expectArguments(call, given, count) {
  if (given.length !== count) {
    throw new Error(`${call} takes ${count} arguments, not ${given.length}`);
  }
}

export class ProgramCalls {
  // The program's exports, each with the count of numbers it takes.
  static exported = EXPORTED;

  // exports: a started program's. Throws where they are not the calls described.
  constructor(exports) {
    for (const [name, count] of Object.entries(ProgramCalls.exported)) {
      if (typeof exports[name] !== 'function' || exports[name].length !== count) {
        throw new Error(`the program does not export ${name} taking ${count} numbers`);
      }
    }
    for (const name of Object.keys(exports)) {
      if (name.startsWith('web') && !(name in ProgramCalls.exported)) {
        throw new Error(`the program exports ${name}, which the page does not know`);
      }
    }
    this.exports = exports;
  }

  // The text at a pointer the program handed back, up to its terminating zero; null for none.
  text(pointer) {
    if (!pointer) return null;
    const bytes = new Uint8Array(this.exports.memory.buffer);
    let end = pointer;
    while (bytes[end]) end++;
    return bindingDecoder.decode(bytes.subarray(pointer, end));
  }

  // Puts bytes where the program reads what the page hands it.
  passBytes(bytes) {
    const at = this.exports.webInputBuffer(bytes.length);
    new Uint8Array(this.exports.memory.buffer).set(bytes, at);
  }

  passText(text) {
    this.passBytes(bindingEncoder.encode(text));
  }

  // An element's places: 32 bits each, the low byte first.
  passPlaces(places) {
    const bytes = new DataView(new ArrayBuffer(places.length * 4));
    places.forEach((place, index) => bytes.setUint32(index * 4, place, true));
    this.passBytes(new Uint8Array(bytes.buffer));
  }
"""


def binding_js(boundary):
    exported = json.dumps(boundary.arities()).replace('"', "")
    lines = BINDING_PREAMBLE.replace("EXPORTED", exported).split("\n")[:-1]
    lines += boundary.js_imports()
    for call in boundary.description["calls"]:
        lines.append("")
        lines += boundary.js_call(call)
    lines.append("}")
    return lines


def header(boundary):
    includes = sorted(set(boundary.description["includes"] + ["Web/Json.h"]))
    lines = [
        "// Generated by make_boundary.py from boundary.json: the records the page passes that the",
        "// toolkit has no type for, what the web host answers itself, what the page gives the",
        "// program, and a JSON writer of each record the program hands the page.",
        "#pragma once",
        "",
    ]
    lines += [f'#include "{include}"' for include in includes]
    lines += ["", "#include <cstddef>", "#include <optional>", "#include <string>"]
    lines += ["#include <string_view>", "#include <vector>", ""]
    lines += boundary.record_declarations()
    lines += boundary.host_declarations()
    lines += boundary.import_declarations()
    lines += boundary.writer_declarations()
    lines += [
        "",
        "// A record as the JSON the page reads.",
        "template <class Record> std::string pageJson(const Record& record) {",
        "    Json json;",
        "    writeRecord(json, record);",
        "    return json.text();",
        "}",
    ]
    return lines


def records_cpp(boundary):
    lines = [
        "// Generated by make_boundary.py from boundary.json: the JSON of each record the program",
        "// hands the page, and checks that the page's schema is the C++ definitions'.",
        '#include "PageBoundary.h"',
        "",
        "#include <string_view>",
        "#include <type_traits>",
        "#include <variant>",
        "",
    ]
    return lines + boundary.checks() + [""] + boundary.writer_definitions()


EXPORTS_PREAMBLE = """\
// Generated by make_boundary.py from boundary.json: the program's exports, which the page's
// binding calls, and its imports, which the page provides.
#include "PageBoundary.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Where the page writes text, or an element's places, before the call that reads them.
std::string& input() {
    static std::string bytes;
    return bytes;
}

// The element whose places the input holds: its place among its siblings, and theirs above
// it, from the top, each 32 bits with the low byte first (as WebAssembly keeps numbers).
// Nothing when the input holds no whole number of them.
std::optional<std::vector<std::size_t>> placesInInput() {
    const std::string& bytes = input();
    if (bytes.size() % sizeof(std::uint32_t) != 0)
        return std::nullopt;
    std::vector<std::size_t> places(bytes.size() / sizeof(std::uint32_t));
    for (std::size_t i = 0; i < places.size(); ++i) {
        std::uint32_t place = 0;
        std::memcpy(&place, bytes.data() + i * sizeof place, sizeof place);
        places[i] = place;
    }
    return places;
}

// The last text handed to the page, kept until the next.
const char* reply(std::string text) {
    static std::string last;
    last = std::move(text);
    return last.c_str();
}

} // namespace

// Where the page writes `length` bytes before the call that reads them.
extern "C" __attribute__((export_name("webInputBuffer"))) char* webInputBuffer(int length) {
    input().resize(static_cast<std::size_t>(std::max(length, 0)));
    return input().data();
}
"""


def exports_cpp(boundary):
    lines = EXPORTS_PREAMBLE.split("\n")
    lines += boundary.import_definitions()
    for call in boundary.description["calls"]:
        lines += boundary.export_definition(call)
    return lines


def main():
    arguments = argparse.ArgumentParser()
    arguments.add_argument("--description", required=True, type=pathlib.Path)
    arguments.add_argument("--headers", required=True, type=pathlib.Path)
    arguments.add_argument("--out", required=True, type=pathlib.Path)
    options = arguments.parse_args()
    boundary = Boundary(json.loads(options.description.read_text()), options.headers)
    options.out.mkdir(parents=True, exist_ok=True)
    outputs = {
        "schema.mjs": schema_js(boundary),
        "binding.mjs": binding_js(boundary),
        "PageBoundary.h": header(boundary),
        "PageRecords.cpp": records_cpp(boundary),
        "PageExports.cpp": exports_cpp(boundary),
    }
    for name, lines in outputs.items():
        text = "\n".join(lines).rstrip("\n") + "\n"
        path = options.out / name
        # Rewritten only when changed, so that what includes it is not rebuilt for nothing.
        if not path.exists() or path.read_text() != text:
            path.write_text(text)


if __name__ == "__main__":
    main()
