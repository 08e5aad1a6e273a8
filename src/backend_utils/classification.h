#pragma once

namespace taloq {

class Element;

// Classes of elements for back ends that choose a representation by kind.
// type_class:
//    0 null                          1 bool, integer, float, double
//    2 oid, date, time               3 ipv4, ipv6
//    4 const                         5 ascii, unquoted ascii, unicode with a
//                                      length constraint and not dynamic
//    6 the same, otherwise           7 bytes, embedded with a length
//                                      constraint and not dynamic
//    8 the same, otherwise           9 struct, combined
//   10 union
// A reference that shares the body of a constructed type:
//   11 not a union, 12 a union; 13 and 14 the same when it is recursive.
// Asserts that the type is known (an unresolved reference is not).
int type_class(const Element* ap_element);

// 1 without a cardinality; 0 for the optional cardinality 0..1; 3 for an
// unbounded cardinality or a list; 2 for any other bounded cardinality.
int cardinality_class(const Element* ap_element);

}  // namespace taloq
