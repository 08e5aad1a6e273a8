// A back end that prints the modules of a clean analysis and the number of
// top-level elements and structures of each.

#include <iostream>

#include "driver/checker.h"
#include "driver/run_context.h"
// The utilities' first header name, kept installed for back ends that use it.
#include "ktfutil/ktfutil.h"

namespace {

void print_modules(taloq::RunContext& run, std::span<const std::string>) {
  for (std::size_t i = 0; i < run.modules.size(); ++i) {
    const taloq::Element* end = taloq::module_elements_end(run, i);
    int count = 0;
    int structures = 0;
    for (auto* e = run.modules[i]->elements; e != nullptr && e != end; e = e->next()) {
      ++count;
      structures += taloq::type_class(e) == 9;  // struct or combined
    }
    std::cout << "module " << run.modules[i]->name << ": " << count << " element(s), "
              << structures << " structure(s)\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  return taloq::taloq_main(argc, argv, taloq::Program{false, print_modules, &std::cerr});
}
