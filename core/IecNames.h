#pragma once
// Flattened variable names, used by the page-object reader when the host runs
// with "/LINVAR": every ".", "[" and "]" becomes "_" and every run of "_"
// shrinks to one, so Arr[2].x becomes Arr_2_x and a[1] becomes a_1_.

#include <string>

std::string FlattenVariableName(const std::string& name);
