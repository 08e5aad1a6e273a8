// The utilities back ends call: the indenting printer and its switch, the
// type, integer and cardinality printers, the element classes, their
// preconditions, mark clearing, the debug dump and name/value lists. Only
// back ends reach them, so they are tested here, on elements made by hand.

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "backend_utils/backend_utils.h"
#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "test_support.h"

namespace taloq {
namespace {

// The fields an element of a table row sets; the others keep their defaults.
struct Fields {
  std::int32_t type = ET_INTEGER;
  bool constrained = false;
  bool min_negative = false;
  std::uint32_t min = 0;
  std::uint32_t max = 0;
  bool max_negative = false;
  bool z_flag = false;
  bool dynamic = false;
  const char* link = "";
  bool body = false;  // a member of its own
  bool recursive = false;
  bool has_cardinality = false;
  std::uint32_t cardinality_min = 0;
  std::int32_t cardinality_max = -1;
  bool list = false;
};

const Element& made(const Fields& fields) {
  Element& e = testing::scratch_element();
  e.set_type(fields.type);
  e.set_constrained(fields.constrained);
  e.set_min_negative(fields.min_negative);
  e.set_min(fields.min);
  e.set_max(fields.max);
  e.set_max_negative(fields.max_negative);
  e.set_z_flag(fields.z_flag);
  e.set_dynamic(fields.dynamic);
  e.set_link(Text::borrow(fields.link));
  if (fields.body) e.set_children(&testing::scratch_element());
  e.set_recursive(fields.recursive);
  e.set_has_cardinality(fields.has_cardinality);
  e.set_cardinality_min(fields.cardinality_min);
  e.set_cardinality_max(fields.cardinality_max);
  e.set_list(fields.list);
  return e;
}

// What one utility makes of an element: k print_compound_kind, t
// print_type_name, v print_value_type_name, w print_int_width, d
// print_int_digits, c print_cardinality, T type_class, C cardinality_class.
std::string apply(char utility, const Element& e) {
  testing::CapturedRun captured;
  std::ostringstream out;
  captured.run.output = &out;
  int result = 1;
  switch (utility) {
    case 'k': result = print_compound_kind(captured.run, 3, &e); break;
    case 't': result = print_type_name(captured.run, 3, &e); break;
    case 'v': result = print_value_type_name(captured.run, 3, &e); break;
    case 'w': print_int_width(captured.run, &e); break;
    case 'd': result = print_int_digits(captured.run, 7, &e); break;
    case 'c': result = print_cardinality(captured.run, 0, &e); break;
    case 'T': return std::to_string(type_class(&e));
    default: return std::to_string(cardinality_class(&e));
  }
  EXPECT_EQ(result, 1);
  EXPECT_EQ(captured.run.column, static_cast<int>(out.str().size()));  // through the printer
  return out.str();
}

struct Use {
  char utility;
  Fields fields;
  const char* expected;
};

TEST(BackEndUtils, PrintersAndClasses) {
  const std::vector<Use> uses = {
      {'t', {.type = ET_INTEGER, .constrained = true, .max = 255}, "uns8"},
      {'v', {.type = ET_INTEGER, .min_negative = true}, "int"},
      // The smallest width for the range; unconstrained is int32.
      {'w', {.min_negative = true, .max = 3}, "int32"},
      {'w', {.constrained = true}, "uns8"},
      {'w', {.constrained = true, .max = 255}, "uns8"},
      {'w', {.constrained = true, .max = 256}, "uns16"},
      {'w', {.constrained = true, .max = 65535}, "uns16"},
      {'w', {.constrained = true, .max = 65536}, "uns32"},
      {'w', {.constrained = true, .max = 4294967295u}, "uns32"},
      {'w', {.constrained = true, .min = 4000000000u, .max = 10}, "uns8"},
      {'w', {.constrained = true, .min_negative = true, .min = 127, .max = 127}, "int8"},
      {'w', {.constrained = true, .min_negative = true, .min = 128, .max = 127}, "int16"},
      {'w', {.constrained = true, .min_negative = true, .min = 127, .max = 128}, "int16"},
      {'w', {.constrained = true, .min_negative = true, .min = 32767, .max = 32767}, "int16"},
      {'w', {.constrained = true, .min_negative = true, .min = 32768}, "int32"},
      {'w', {.constrained = true, .min_negative = true, .min = 1, .max = 32768}, "int32"},
      {'w',
       {.constrained = true, .min_negative = true, .min = 4294967295u, .max = 4294967295u},
       "int32"},
      {'w',
       {.constrained = true, .min_negative = true, .min = 10, .max = 5, .max_negative = true},
       "int8"},
      {'w', {.constrained = true, .max = 300, .max_negative = true}, "uns16"},
      // Digits of the larger bound, then the z mark; nothing for other types.
      {'d', {.constrained = true, .min_negative = true, .min = 100, .max = 5}, ", 3, FALSE"},
      {'d', {.constrained = true, .max = 65535}, ", 5, FALSE"},
      {'d', {.constrained = true, .min = 7, .z_flag = true}, ", 1, TRUE"},
      {'d', {.constrained = true, .max = 4294967295u}, ", 10, FALSE"},
      {'d', {.constrained = true, .max = 3000000000u}, ", 10, FALSE"},
      {'d', {.type = ET_FLOAT, .max = 100}, ""},
      {'d', {.type = ET_LINK, .max = 100}, ""},
      {'c', {.has_cardinality = true, .cardinality_max = 1}, "[0..1]"},
      {'c', {.has_cardinality = true, .cardinality_min = 1}, "[1..*]"},
      {'c', {.has_cardinality = true}, "[0..*]"},
      {'c', {.has_cardinality = true, .cardinality_min = 3, .cardinality_max = 12}, "[3..12]"},
      {'c',
       {.has_cardinality = true, .cardinality_min = 4294967295u, .cardinality_max = 2147483647},
       "[4294967295..2147483647]"},
      {'c', {.has_cardinality = true, .cardinality_max = -2147483647 - 1}, "[0..2147483648]"},
      // Classes by constraint and dynamic, and of references.
      {'T', {.type = ET_ASCII, .constrained = true}, "5"},
      {'T', {.type = ET_UNQUOTED_ASCII, .constrained = true}, "5"},
      {'T', {.type = ET_UNICODE, .constrained = true}, "5"},
      {'T', {.type = ET_UNICODE, .constrained = true, .dynamic = true}, "6"},
      {'T', {.type = ET_BYTES, .constrained = true}, "7"},
      {'T', {.type = ET_EMBEDDED, .constrained = true}, "7"},
      {'T', {.type = ET_EMBEDDED, .constrained = true, .dynamic = true}, "8"},
      {'T', {.type = ET_STRUCT, .link = "T", .body = true}, "11"},
      {'T', {.type = ET_COMBINED, .link = "T", .body = true}, "11"},
      {'T', {.type = ET_UNION, .link = "T", .body = true}, "12"},
      {'T', {.type = ET_STRUCT, .link = "T", .body = true, .recursive = true}, "13"},
      {'T', {.type = ET_COMBINED, .link = "T", .body = true, .recursive = true}, "13"},
      {'T', {.type = ET_UNION, .link = "T", .body = true, .recursive = true}, "14"},
      {'T', {.type = ET_UNION, .link = "EmptyChoice"}, "10"},
      {'T', {.type = ET_UNION, .body = true, .recursive = true}, "10"},
      {'C', {}, "1"},
      {'C', {.list = true}, "1"},
      {'C', {.has_cardinality = true, .cardinality_max = 1}, "0"},
      {'C', {.has_cardinality = true, .cardinality_max = 1, .list = true}, "0"},
      {'C', {.has_cardinality = true, .cardinality_min = 1, .cardinality_max = 5}, "2"},
      {'C', {.has_cardinality = true, .cardinality_min = 2, .cardinality_max = 2}, "2"},
      {'C', {.has_cardinality = true, .cardinality_min = 1, .cardinality_max = 1}, "2"},
      {'C',
       {.has_cardinality = true, .cardinality_min = 1, .cardinality_max = 5, .list = true},
       "3"},
      {'C', {.has_cardinality = true}, "3"},
      {'C', {.has_cardinality = true, .cardinality_min = 1}, "3"},
  };
  for (const Use& use : uses) {
    EXPECT_EQ(apply(use.utility, made(use.fields)), use.expected)
        << use.utility << " type " << use.fields.type << " row of " << use.expected;
  }
  // The names and classes that go by the type alone.
  const std::vector<std::pair<std::int32_t, std::string>> by_type = {
      {ET_NULL, "void 0 void"},           {ET_BOOLEAN, "bool 1 bool"},
      {ET_INTEGER, "int32 1 unsint"},     {ET_FLOAT, "float 1 double"},
      {ET_DOUBLE, "double 1 double"},     {ET_OID, "oid 2 oid"},
      {ET_ASCII, "ascii 6 quoted_ascii"}, {ET_UNQUOTED_ASCII, "ascii 6 unquoted_ascii"},
      {ET_UNICODE, "unicode 6 unicode"},  {ET_BYTES, "bytes 8 bytes"},
      {ET_CONST, "const 4 const"},        {ET_IPV4, "ipv4 3 ipv4"},
      {ET_IPV6, "ipv6 3 ipv6"},           {ET_DATE, "date 2 date"},
      {ET_TIME, "time 2 time"},           {ET_EMBEDDED, "embedded 8 embedded"}};
  for (const auto& [type, expected] : by_type) {
    const Element& element = made({.type = type});
    EXPECT_EQ(apply('t', element) + " " + apply('T', element) + " " + apply('v', element),
              expected);
  }
  for (const auto& [type, expected] : std::vector<std::pair<std::int32_t, std::string>>{
           {ET_STRUCT, "struct 9"}, {ET_UNION, "union 10"}, {ET_COMBINED, "combi 9"}}) {
    const Element& element = made({.type = type});
    EXPECT_EQ(apply('k', element) + " " + apply('T', element), expected);
  }
  for (const auto& [value, digits] : std::vector<std::pair<std::int32_t, int>>{{0, 1},
                                                                               {9, 1},
                                                                               {10, 2},
                                                                               {100, 3},
                                                                               {-100, 3},
                                                                               {-1, 1},
                                                                               {INT32_MAX, 10},
                                                                               {INT32_MIN, 10}}) {
    EXPECT_EQ(decimal_digits(value), digits) << value;
  }
  for (const auto& [value, digits] : std::vector<std::pair<std::uint32_t, int>>{
           {0, 1}, {999999999u, 9}, {2147483648u, 10}, {4294967295u, 10}}) {
    EXPECT_EQ(magnitude_digits(value), digits) << value;
  }
}

TEST(BackEndUtilsDeathTest, EachUtilityRefusesElementsItDoesNotHandle) {
  const std::vector<Use> refused = {
      {'k', {.type = ET_INTEGER}, "0, file ktfutil, line 415"},
      {'t',
       {.type = ET_STRUCT, .link = "Header"},
       "ap_element->link\\[0\\] == '\\\\0', file ktfutil, line 426"},
      {'t', {.type = ET_STRUCT}, "0, file ktfutil, line 496"},
      {'t', {.type = ET_LINK}, "0, file ktfutil, line 496"},
      {'v',
       {.type = ET_UNION, .link = "Lib::Choice"},
       "ap_element->link\\[0\\] == '\\\\0', file ktfutil, line 507"},
      {'v', {.type = ET_COMBINED}, "0, file ktfutil, line 496"},
      {'c', {}, "ap_element->has_cardinality, file ktfutil, line 542"},
      {'T', {.type = ET_LINK, .link = "Nowhere"}, "0, file ktfutil, line 624"},
      {'T', {.type = 20}, "0, file ktfutil, line 624"},
  };
  for (const Use& use : refused) {
    const Element& element = made(use.fields);
    EXPECT_EXIT(apply(use.utility, element), ::testing::KilledBySignal(SIGABRT),
                std::string("^Assertion failed: ") + use.expected + "\n$");
  }
}

// Texts printed one call each, where the printer writes (s a stream, c the
// console, n nowhere), and what it wrote, printed directly and kept.
struct Printed {
  std::vector<std::string> calls;
  char output;
  std::string written;
  std::string console;
  std::string state;  // depth, column, tab count, errors
};

TEST(BackEndUtils, IndentedPrinter) {
  const std::string c20(20, 'c'), c25(25, 'c'), b20(20, ' ');
  const std::vector<Printed> cases = {
      {{"a {\nb;\n}\n"}, 's', "a     {\n    b;\n    }\n", "", "0 0 0 0"},
      {{"s {\n", "t {\n", "x;\n", "}\n}\n"},
       's',
       "s     {\n    t     {\n        x;\n        }\n    }\n",
       "",
       "0 0 0 0"},
      {{c25 + "\t\t|"}, 's', c25 + std::string(15, ' ') + "|", "", "0 41 2 0"},
      {{c20 + "\t|", "\t|"}, 's', c20 + " |" + std::string(18, ' ') + "|", "", "0 41 2 0"},
      {{"{\n\tx"}, 's', "    {\n    " + b20 + "x", "", "1 21 1 0"},
      {{"ab\tc\n", "\tx"}, 's', "ab" + std::string(18, ' ') + "c\n" + b20 + "x", "", "0 21 1 0"},
      {{"{"}, 's', "    {", "", "1 1 0 0"},
      {{"}"}, 's', "}", "Problem with brace nesting depth encountered\n", "0 1 0 1"},
      {{"{}}}"},
       's',
       "    {}}}",
       "Problem with brace nesting depth encountered\n"
       "Problem with brace nesting depth encountered\n",
       "0 4 0 2"},
      {{"x}y"}, 'c', "", "xProblem with brace nesting depth encountered\n}y", "0 3 0 1"},
      {{"a {\nbc", "}}"}, 'n', "", "Problem with brace nesting depth encountered\n", "0 4 0 1"},
      {{std::string(5000, 'x')}, 's', std::string(5000, 'x'), "", "0 5000 0 0"},
  };
  for (const Printed& c : cases) {
    testing::CapturedRun captured;
    std::ostringstream out;
    RunContext& run = captured.run;
    run.output = c.output == 's' ? &out : c.output == 'c' ? &captured.console : nullptr;
    for (const std::string& call : c.calls) print_indented(run, "%s", call.c_str());
    EXPECT_EQ(out.str(), c.written) << c.calls[0];
    EXPECT_EQ(captured.text(), c.console) << c.calls[0];
    EXPECT_EQ(std::to_string(run.indent_depth) + " " + std::to_string(run.column) + " " +
                  std::to_string(run.tab_count) + " " + std::to_string(run.errors),
              c.state)
        << c.calls[0];
  }
}

TEST(BackEndUtils, PrintSwitch) {
  testing::CapturedRun captured;
  std::ostringstream out;
  RunContext& run = captured.run;
  run.output = &out;
  print_indented(run, "%s=%d;%c", "width", 16, 'x');
  EXPECT_EQ(out.str(), "width=16;x");
  run.indent_depth = 2;
  run.tab_count = 1;
  EXPECT_EQ(set_print_enable(0), 0);
  EXPECT_EQ(get_print_enable(), 0);
  print_indented(run, "a {\n}\t}}}\n");
  print_int_width(run, &made({.constrained = true}));
  EXPECT_EQ(out.str(), "width=16;x");  // nothing written, no state changed
  EXPECT_EQ(captured.text(), "");
  EXPECT_EQ(run.indent_depth + run.column + run.tab_count + run.errors, 2 + 10 + 1);
  const Element& element = made({.type = ET_STRUCT});
  std::ostringstream dump;
  debug_dump(&element, 0, dump);  // the debug dump ignores the switch
  EXPECT_NE(dump.str(), "");
  EXPECT_EQ(set_print_enable(5), 5);  // any other value is on
  print_indented(run, "on");
  EXPECT_EQ(out.str(), "width=16;xon");
  set_print_enable(1);
}

// Elements chained as a test says, marked 7.
struct Graph {
  Element& add(const char* name, std::int32_t type = ET_INTEGER) {
    Element& element = store.emplace_back();
    element.set_type(type);
    element.set_c_name(Text::borrow(name));
    element.set_tag(element.c_name());
    element.set_mark(7);
    return element;
  }
  std::string marks() const {
    std::string text;
    for (const Element& element : store) text += std::to_string(element.mark());
    return text;
  }
  ElementStore store;
};

std::string entry(int level, const std::string& name) {
  return std::to_string(level) + ": (Name " + name +
         ") (Type <DEBUG - needs code fix to map types>) (Tag " + name +
         ") \n"
         "         (Has cardinality 0) (Cardinality min 0) (Cardinality max -1)\n"
         "         (Constrained 0) (Min 0) (Max 0)\n";
}

std::string dumped(const Element* list, int level) {
  std::ostringstream out;
  debug_dump(list, level, out);
  return out.str();
}

TEST(BackEndUtils, ClearMarksAndDebugDumpWalkBodiesOnce) {
  // T { m; s (a copy sharing T's body); r (a reference to Stamp); q (recursive) };
  // then Stamp { when } and u, before which clearing starts.
  Graph g;
  Element& u = g.add("u");
  Element& t = g.add("T", ET_STRUCT);
  Element& m = g.add("m");
  Element& s = g.add("s", ET_STRUCT);
  Element& r = g.add("r", ET_STRUCT);
  Element& q = g.add("q", ET_STRUCT);
  Element& beyond = g.add("beyond");
  Element& stamp = g.add("Stamp", ET_STRUCT);
  Element& when = g.add("when");
  u.set_next(&t);
  t.set_next(&stamp);
  t.set_children(&m);
  m.set_next(&s);
  s.set_next(&r);
  r.set_next(&q);
  s.set_is_copy(true);
  s.set_children(&m);
  r.set_link("Stamp");
  r.set_children(&when);
  q.set_recursive(true);
  q.set_children(&beyond);
  stamp.set_children(&when);
  clear_marks(&t);
  EXPECT_EQ(g.marks(), "700000700");  // not before t, not through a recursive element
  clear_marks(nullptr);
  EXPECT_EQ(dumped(&t, 2), entry(2, "T") + entry(3, "m") + entry(3, "s") + entry(3, "r") +
                               entry(3, "q") + entry(4, "beyond") + entry(2, "Stamp") +
                               entry(3, "when"));
  EXPECT_EQ(dumped(nullptr, 0), "");
  Element& full = g.add("count");
  full.set_tag("cnt");
  full.set_has_cardinality(true);
  full.set_cardinality_min(4294967295u);
  full.set_cardinality_max(4);
  full.set_constrained(true);
  full.set_min(4294967295u);
  full.set_max(3000000000u);
  full.set_type_name("ignored");
  EXPECT_EQ(dumped(&full, 3),
            "3: (Name count) (Type <DEBUG - needs code fix to map types>) (Tag cnt) \n"
            "         (Has cardinality 1) (Cardinality min 4294967295) (Cardinality max 4)\n"
            "         (Constrained 1) (Min 4294967295) (Max 3000000000)\n");
}

TEST(BackEndUtils, DeepAndLongListsNeedNoCallStack) {
  constexpr int kDepth = 100000;
  Graph g;
  Element* top = &g.add("n", ET_STRUCT);
  Element* parent = top;
  for (int i = 0; i < kDepth; ++i) {
    Element& child = g.add("n", ET_STRUCT);
    parent->set_children(&child);
    parent = &child;
  }
  Element* last = top;
  for (int i = 0; i < kDepth; ++i) {
    Element& sibling = g.add("x");
    last->set_next(&sibling);
    last = &sibling;
  }
  clear_marks(top);
  EXPECT_EQ(g.marks(), std::string(2 * kDepth + 1, '0'));
  const std::string text = dumped(top, 0);
  EXPECT_NE(text.find(entry(kDepth, "n")), std::string::npos);
  EXPECT_TRUE(text.ends_with(entry(0, "x")));
}

TEST(BackEndUtils, NameValueLists) {
  testing::CapturedRun captured;
  NameValueList list;
  char text[] = "name";
  EXPECT_EQ(append_name_value(captured.run, list, text, 5, 0), 1);   // the caller's text
  EXPECT_EQ(append_name_value(captured.run, list, text, -2, 1), 1);  // a copy of its own
  for (int i = 0; i < 1000; ++i) {
    append_name_value(captured.run, list, std::to_string(i).c_str(), i, 1);
  }
  const char* copy = list[1].text;
  text[0] = 'N';
  ASSERT_EQ(list.size(), 1002u);
  EXPECT_EQ(list[0].text, text);
  EXPECT_STREQ(list[1].text, "name");
  EXPECT_EQ(list[1].text, copy);  // copies stay put while the list grows
  EXPECT_EQ(list[1].value, -2);
  EXPECT_STREQ(list[1001].text, "999");
  EXPECT_EQ(list[1001].value, 999);
  EXPECT_THROW(append_name_value(captured.run, list, nullptr, 1, 1), FatalStop);
  EXPECT_EQ(captured.text(), "FATAL error: Unable to allocate memory\n");
  EXPECT_EQ(list.size(), 1002u);
}

}  // namespace
}  // namespace taloq
