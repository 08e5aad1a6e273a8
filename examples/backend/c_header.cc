// A back end that writes a C declaration of every top-level structure of a
// clean analysis, to standard output or to the file named after -o:
//   c_header shipping.tlqprj              the header on standard output
//   c_header shipping.tlqprj -o model.h   the header in model.h
// The checker's own lines (diagnostics, count line) go to standard error.
#include <fstream>
#include <iostream>

#include "driver/checker.h"
#include "driver/run_context.h"
#include "backend_utils/backend_utils.h"

namespace {

// The path after "-o" among the back end's arguments, or empty. The output
// is never taken from a position: in project mode the first argument is the
// project file itself.
std::string output_path(std::span<const std::string> args) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "-o") return args[i + 1];
  }
  return {};
}

void write_structs(taloq::RunContext& run) {
  for (const taloq::Element* e = run.merged_elements; e != nullptr; e = e->next()) {
    if (e->type() != taloq::ET_STRUCT || !e->link().empty()) continue;
    taloq::print_indented(run, "typedef struct %s {\n", e->type_name().c_str());
    for (const taloq::Element* m = e->children(); m != nullptr; m = m->next()) {
      if (m->link().empty() && taloq::type_class(m) <= 4) {  // scalars and constants
        taloq::print_type_name(run, 0, m);
        taloq::print_indented(run, "\t%s;\n", m->c_name().c_str());
      }
    }
    taloq::print_indented(run, "} %s;\n", e->type_name().c_str());
  }
}

void write_header(taloq::RunContext& run, std::span<const std::string> args) {
  const std::string path = output_path(args);
  std::ofstream file;
  if (!path.empty()) {
    file.open(path);
    if (!file) {
      std::cerr << "c_header: cannot write " << path << '\n';
      ++run.errors;  // the count line reports it and the status is 1
      return;
    }
  }
  run.output = path.empty() ? &std::cout : &file;  // the stream of print_indented
  write_structs(run);
  run.output = nullptr;  // `file` ends here
}

}  // namespace

int main(int argc, char** argv) {
  return taloq::taloq_main(argc, argv, taloq::Program{false, write_header, &std::cerr});
}
