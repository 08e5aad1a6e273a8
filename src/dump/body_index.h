#pragma once

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace taloq {

class Element;

// The bodies of the document: each distinct body (the first element of a
// `children` list) gets a number, 1, 2, ... in the order it is first met,
// and is expanded at most once.
class BodyIndex {
 public:
  // The body's number, given on first sight.
  std::int64_t number_of(const Element* body);
  // True the first time it is asked for a body: the caller writes the
  // body's elements there, and nowhere else.
  bool claim_expansion(const Element* body) { return expanded_.insert(body).second; }

 private:
  std::unordered_map<const Element*, std::int64_t> numbers_;
  std::unordered_set<const Element*> expanded_;
};

}  // namespace taloq
