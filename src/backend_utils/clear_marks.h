#pragma once

namespace taloq {

class Element;

// Sets `mark` to 0 on every element of the list and of the bodies below it,
// shared bodies included, except through elements marked recursive. Each
// body is visited once, however often it is shared.
void clear_marks(Element* list);

}  // namespace taloq
