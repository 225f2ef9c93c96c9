#pragma once
// What the build's table generator writes from a checked collection: the C++ of the menu table
// and, for a person checking a collection, the table in text form.
#include "collection/format.h"

#include <string>

namespace content {

// The C++ definitions of the constant tables declared in player/menu_table.h.
std::string menuTableSource(const collection::Collection& c);

// Tune and scroller rows of a table in text form.
std::string describeTable(const collection::Collection& c);

} // namespace content
